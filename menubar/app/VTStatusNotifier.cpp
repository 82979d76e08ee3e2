#include "app/VTStatusNotifier.h"

#include <QDateTime>
#include <QSet>
#include <algorithm>
#include <limits>

#include "app/VTNoticeSink.h"
#include "app/VTUtils.h"
#include "model/VTDestination.h"
#include "model/VTDestinationStats.h"
#include "model/VTModelTypes.h"
#include "model/VTVaultorState.h"
#include "ui/text/VTDestinationStatusTextBuilder.h"

VTStatusNotifier::VTStatusNotifier(VTVaultorState* state, VTNoticeSink* sink, QObject* parent)
    : VTLoggingObject(parent),
      state_(state),
      sink_(sink),
      clock_([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    VTUtils::registerDefaults({{kShowNotificationsKey, QStringLiteral("YES")}});
    check_.setSingleShot(true);
    QObject::connect(&check_, &QTimer::timeout, this, &VTStatusNotifier::evaluate);
}

void VTStatusNotifier::start() {
    mutedUntil_ = clock_() + kMutedMs;
    if (state_) {
        QObject::connect(state_, &VTVaultorState::lastUpdatedChanged, this,
                         &VTStatusNotifier::evaluate);
        QObject::connect(state_, &VTVaultorState::isConnectedChanged, this,
                         &VTStatusNotifier::evaluate);
    }
    evaluate();
}

void VTStatusNotifier::didWake() {
    const qint64 now = clock_();
    mutedUntil_ = now + kMutedMs;
    if (unreachableSince_ >= 0 && !unreachableTold_) {
        unreachableSince_ = now;
    }
    for (Destination& destination : destinations_) {
        if (destination.offlineSince >= 0 && !destination.offlineTold) {
            destination.offlineSince = now;
        }
    }
    evaluate();
}

void VTStatusNotifier::evaluate() {
    if (!state_) {
        return;
    }
    const qint64 now = clock_();
    const bool muted = now < mutedUntil_;
    if (state_->isConnected()) {
        unreachableSince_ = -1;
        unreachableTold_ = false;
        VT_evaluateDestinations(now, muted);
    } else {
        if (unreachableSince_ < 0) {
            unreachableSince_ = now;
        }
        if (!unreachableTold_ && !muted && now - unreachableSince_ > kUnreachableMs) {
            unreachableTold_ = true;
            VT_tell(tr("Backup service not reachable"),
                    tr("The menu bar has not reached the backup service for five minutes; "
                       "your backups may not be running."),
                    QStringLiteral("dialog-error"));
        }
        // What the destinations last said is old news: their clocks start again once the
        // service is back.
        for (Destination& destination : destinations_) {
            if (!destination.offlineTold) {
                destination.offlineSince = -1;
            }
        }
    }
    VT_scheduleNextCheck(now);
}

bool VTStatusNotifier::VT_isSevere(const VTDestinationStats& stats) const {
    return stats.computerStatus() == VTComputerStatusSevere || stats.outOfSpace() ||
           (!stats.isConnected() &&
            VTDestinationStatusTextBuilder::sharedTextBuilder()->isDisconnectedError(
                stats.disconnectedCode()));
}

void VTStatusNotifier::VT_evaluateDestinations(qint64 now, bool muted) {
    QSet<qint64> present;
    for (VTDestination* computer : state_->destinations()) {
        const VTDestinationStats* stats = computer->stats();
        if (!stats) {
            continue;
        }
        present.insert(computer->GUID());
        Destination& destination = destinations_[computer->GUID()];
        const bool severe = VT_isSevere(*stats);
        if (!severe) {
            destination.severeTold = false;
        } else if (!destination.severeTold && !muted) {
            destination.severeTold = true;
            const QString text = VTDestinationStatusTextBuilder::sharedTextBuilder()
                                     ->buildStatusTextDict(stats)
                                     .value(QStringLiteral("text"))
                                     .toString();
            VT_tell(tr("Backups to %1 need attention").arg(computer->name()),
                    text.isEmpty() ? tr("Open the status panel for details.") : text,
                    QStringLiteral("dialog-warning"));
        }
        const bool offline = !stats->isConnected() && !severe;
        if (!offline) {
            destination.offlineSince = -1;
            destination.offlineTold = false;
            continue;
        }
        if (destination.offlineSince < 0) {
            destination.offlineSince = now;
        }
        if (!destination.offlineTold && !muted && now - destination.offlineSince > kOfflineMs) {
            destination.offlineTold = true;
            VT_tell(tr("%1 has been offline for over an hour").arg(computer->name()),
                    tr("Backups to it go on once it is back online."),
                    QStringLiteral("network-offline"));
        }
    }
    destinations_.removeIf(
        [&present](const auto& entry) { return !present.contains(entry.key()); });
}

void VTStatusNotifier::VT_tell(const QString& summary, const QString& body, const QString& icon) {
    if (!VTUtils::userDefaultsBool(kShowNotificationsKey)) {
        return;
    }
    log()->info(QStringLiteral("Telling the desktop: %1").arg(summary));
    if (sink_) {
        sink_->showNotice({summary, body, icon});
    }
}

void VTStatusNotifier::VT_scheduleNextCheck(qint64 now) {
    // The earliest moment something not yet told would be told, no earlier than the end of
    // the muted minute.
    qint64 next = std::numeric_limits<qint64>::max();
    const auto consider = [&next, this](qint64 due) {
        next = std::min(next, std::max(due, mutedUntil_));
    };
    if (unreachableSince_ >= 0 && !unreachableTold_) {
        consider(unreachableSince_ + kUnreachableMs + 1);
    }
    for (const Destination& destination : std::as_const(destinations_)) {
        if (destination.offlineSince >= 0 && !destination.offlineTold) {
            consider(destination.offlineSince + kOfflineMs + 1);
        }
    }
    if (now < mutedUntil_) {
        consider(mutedUntil_);
    }
    if (next == std::numeric_limits<qint64>::max()) {
        check_.stop();
        return;
    }
    const qint64 wait = std::clamp<qint64>(next - now, 0, std::numeric_limits<int>::max());
    check_.start(static_cast<int>(wait));
}
