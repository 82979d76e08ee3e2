#pragma once

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <mutex>

#include "logging/DDLog.h"
#include "model/VTPropertyObserver.h"
#include "platform/VTUserDefaults.h"

namespace ModelTestSupport {

inline QJsonObject json(const char* text) {
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

// A received message of type M with the given payload.
template <typename M>
std::unique_ptr<M> message(const QByteArray& payload) {
    auto msg = std::make_unique<M>();
    msg->initWithData(payload);
    return msg;
}

// Counts the announcements of one property of one object.
class NotificationCounter {
  public:
    NotificationCounter(QObject* object, const char* property) {
        observer_.observe(object, property,
                          [this](QObject*, const QByteArray&, const QVariant& value) {
                              ++count_;
                              values_.append(value);
                          });
    }
    int count() const { return count_; }
    const QVariantList& values() const { return values_; }

  private:
    VTPropertyObserver observer_;
    int count_ = 0;
    QVariantList values_;
};

// User defaults in a temporary folder.
class TemporaryUserDefaults {
  public:
    TemporaryUserDefaults() : defaults_(directory_.filePath(QStringLiteral("defaults.ini"))) {}
    VTUserDefaults* get() { return &defaults_; }
    QString filePath() const { return directory_.filePath(QStringLiteral("defaults.ini")); }

  private:
    QTemporaryDir directory_;
    VTUserDefaults defaults_;
};

// Records the warnings logged while it is added to the logging hub.
class WarningRecorder : public DDLogger {
  public:
    void logMessage(const DDLogMessage& message) override {
        std::lock_guard lock(mutex_);
        if (message.logFlag == 2) {
            warnings_.push_back(QString::fromStdString(message.logMsg));
        }
    }
    QStringList warnings() {
        DDLog::flushLog();
        std::lock_guard lock(mutex_);
        return warnings_;
    }
    int countContaining(const QString& text) { return warnings().filter(text).size(); }

  private:
    std::mutex mutex_;
    QStringList warnings_;
};

// Runs the deletions that removals scheduled.
inline void flushDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace ModelTestSupport
