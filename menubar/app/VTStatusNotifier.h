#pragma once

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "app/VTLoggingObject.h"

class VTDestinationStats;
class VTNoticeSink;
class VTVaultorState;

// Tells the user, through the desktop's notices, of what needs them while the panel is
// closed: a destination that becomes severe (its backups failing, out of space, or refused by
// the destination), a destination offline for more than an hour, the backup service out of
// reach for more than five minutes. One notice per transition into such a state, none while it
// lasts. For a minute after start and after wake nothing is shown, as everything reconnects
// then; what is still wrong when that minute ends is told. While the service is away the
// destinations' last known states are not judged. The user default
// "VTDefaultsKeyShowNotifications" turns notices off (the transitions are still followed, so
// turning them on again tells nothing stale).
class VTStatusNotifier : public VTLoggingObject {
    Q_OBJECT
  public:
    using Clock = std::function<qint64()>;  // milliseconds since 1970

    static constexpr qint64 kMutedMs = 60 * 1000;
    static constexpr qint64 kOfflineMs = 60 * 60 * 1000;
    static constexpr qint64 kUnreachableMs = 5 * 60 * 1000;
    static inline const QString kShowNotificationsKey =
        QStringLiteral("VTDefaultsKeyShowNotifications");

    VTStatusNotifier(VTVaultorState* state, VTNoticeSink* sink, QObject* parent = nullptr);

    // Tests set their own clock.
    void setClock(Clock clock) { clock_ = std::move(clock); }

    // Starts following the state; the first minute is muted.
    void start();
    // The machine woke: a muted minute again, and the clocks of what is not told yet restart.
    void didWake();
    // Judges the state as it is now (run on every update of the state and when a clock runs
    // out).
    void evaluate();

  private:
    struct Destination {
        bool severeTold = false;
        qint64 offlineSince = -1;
        bool offlineTold = false;
    };

    bool VT_isSevere(const VTDestinationStats& stats) const;
    void VT_evaluateDestinations(qint64 now, bool muted);
    void VT_tell(const QString& summary, const QString& body, const QString& icon);
    void VT_scheduleNextCheck(qint64 now);

    QPointer<VTVaultorState> state_;
    VTNoticeSink* sink_;
    Clock clock_;
    QTimer check_;
    qint64 mutedUntil_ = 0;
    qint64 unreachableSince_ = -1;
    bool unreachableTold_ = false;
    QHash<qint64, Destination> destinations_;
};
