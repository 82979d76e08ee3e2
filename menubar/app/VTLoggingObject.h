#pragma once

#include <QObject>

#include "app/VTLogger.h"

// Base of the client's controllers and models: each has the logger of its own class.
class VTLoggingObject : public QObject {
    Q_OBJECT
  public:
    explicit VTLoggingObject(QObject* parent = nullptr) : QObject(parent) {}

    // The logger of the most derived class (looked up on first use, when the class is known).
    VTLogger* log() const {
        if (!log_) {
            log_ = VTLogger::sharedLoggerForClass(metaObject()->className());
        }
        return log_;
    }

  private:
    mutable VTLogger* log_ = nullptr;
};
