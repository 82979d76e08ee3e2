#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "app/VTLoggingObject.h"
#include "messaging/CheesyTimer.h"
#include "messaging/VTConnection.h"

// Polls the service for statistics: the summary at the standard interval while the menu is
// closed, full statistics at the menu-open interval while it is open.
class VTStatsRequestor : public VTLoggingObject {
    Q_OBJECT
  public:
    explicit VTStatsRequestor(QObject* parent = nullptr);
    ~VTStatsRequestor() override;

    // Reads both intervals from the built-in settings; values below 1 second become 1.
    void awakeFromNib();

    VTConnection* connection() const { return connection_; }
    void setConnection(VTConnection* connection) { connection_ = connection; }

    void requestStatsUpdate();
    void requestStatsUpdateAfterDelay(double seconds);
    void restartStatsRequestTimer(bool lightweight);
    void stopRequestsTimer();

    qint64 standardInterval() const { return statsUpdatePollIntervalStandard_; }
    qint64 menuOpenInterval() const { return statsUpdatePollIntervalMenuOpen_; }
    bool isPolling() const { return statsRequestTimer_ != nullptr; }
    bool isPollingFullStats() const { return isPolling() && !lightweight_; }

  private:
    QPointer<VTConnection> connection_;
    std::shared_ptr<CheesyTimer> statsRequestTimer_;
    bool lightweight_ = true;
    qint64 statsUpdatePollIntervalStandard_ = 1;
    qint64 statsUpdatePollIntervalMenuOpen_ = 1;
};
