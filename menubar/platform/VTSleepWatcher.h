#pragma once

#include <QObject>

#include "app/VTLoggingObject.h"

// Tells when the machine is about to sleep and when it woke, from logind's PrepareForSleep
// signal on the system bus. Without a system bus there is no sleep handling: that is logged
// once and the client runs on.
class VTSleepWatcher : public VTLoggingObject {
    Q_OBJECT
  public:
    explicit VTSleepWatcher(QObject* parent = nullptr);

    // Starts listening; false when the system bus or logind cannot be reached.
    bool start();

  signals:
    void willSleep();
    void didWake();

  private slots:
    void prepareForSleep(bool goingToSleep);
};
