#pragma once

#include <QPointer>
#include <optional>

#include "app/VTLoggingObject.h"
#include "messaging/VTConnection.h"

class VTStatsRequestor;
class VTVaultorState;

// Builds and sends the user's commands to the service: pause and resume of everything or of
// one destination, and the request for a web login key. Results are not reported; a command
// on a connection that is down is simply not written, and the next poll shows the truth.
class VTVTSController : public VTLoggingObject {
    Q_OBJECT
  public:
    explicit VTVTSController(VTStatsRequestor* statsRequestor, QObject* parent = nullptr);

    VTConnection* connection() const { return connection_; }
    void setConnection(VTConnection* connection) { connection_ = connection; }
    VTVaultorState* state() const { return state_; }
    void setState(VTVaultorState* state) { state_ = state; }

    void pauseService(qint64 minutes);
    void resumeService();
    void requestManageAccountPageKey();
    void pauseDestination(qint64 guid, qint64 minutes);
    void resumeDestination(qint64 guid);
    void sendCommandMessage(const QString& command);

    // Minutes that put a destination's pause far in the past, which resumes it.
    static qint64 resumeMinutes(qint64 unixSeconds) { return -(unixSeconds / 10); }

  private:
    void VT_resumeDestination(qint64 guid, std::optional<qint64> setID);
    QList<qint64> VT_activeSetIDsSortedByPriorityForGUID(qint64 guid) const;
    void VT_pauseDestination(qint64 guid, qint64 minutes, std::optional<qint64> setID);

    VTStatsRequestor* statsRequestor_;
    QPointer<VTConnection> connection_;
    QPointer<VTVaultorState> state_;
};
