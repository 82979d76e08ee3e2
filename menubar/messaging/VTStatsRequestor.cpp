#include "messaging/VTStatsRequestor.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/VTUtils.h"

VTStatsRequestor::VTStatsRequestor(QObject* parent) : VTLoggingObject(parent) {}

VTStatsRequestor::~VTStatsRequestor() {
    stopRequestsTimer();
}

void VTStatsRequestor::awakeFromNib() {
    statsUpdatePollIntervalStandard_ = std::max<qint64>(
        1, VTUtils::integerFromDefaultPlist(QStringLiteral("kVTDefaultStatsPollInterval")));
    statsUpdatePollIntervalMenuOpen_ = std::max<qint64>(
        1, VTUtils::integerFromDefaultPlist(QStringLiteral("kVTDefaultStatsPollIntervalMenuOpen")));
}

void VTStatsRequestor::requestStatsUpdate() {
    if (connection_) {
        connection_->requestStatsUpdate();
    }
}

void VTStatsRequestor::requestStatsUpdateAfterDelay(double seconds) {
    QTimer::singleShot(static_cast<int>(std::lround(seconds * 1000)), this,
                       &VTStatsRequestor::requestStatsUpdate);
}

void VTStatsRequestor::restartStatsRequestTimer(bool lightweight) {
    stopRequestsTimer();
    lightweight_ = lightweight;
    // The timer stays bound to the connection that is current now.
    QPointer<VTConnection> bound = connection_;
    if (lightweight) {
        statsRequestTimer_ = CheesyTimer::repeatingTimerWithInterval(
            static_cast<double>(statsUpdatePollIntervalStandard_), bound,
            [bound] { bound->requestStatsUpdateLightweight(); });
    } else {
        statsRequestTimer_ = CheesyTimer::repeatingTimerWithInterval(
            static_cast<double>(statsUpdatePollIntervalMenuOpen_), bound,
            [bound] { bound->requestStatsUpdate(); });
    }
    requestStatsUpdateAfterDelay(0.01);
}

void VTStatsRequestor::stopRequestsTimer() {
    if (statsRequestTimer_) {
        statsRequestTimer_->invalidate();
        statsRequestTimer_.reset();
    }
}
