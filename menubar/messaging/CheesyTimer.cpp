#include "messaging/CheesyTimer.h"

#include <QTimer>
#include <cmath>

CheesyTimer::CheesyTimer(double seconds, QObject* target, Action action)
    : target_(target), selector_(std::move(action)), interval_(seconds) {}

std::shared_ptr<CheesyTimer> CheesyTimer::initWithInterval(double seconds, QObject* target,
                                                           Action action) {
    return std::shared_ptr<CheesyTimer>(new CheesyTimer(seconds, target, std::move(action)));
}

std::shared_ptr<CheesyTimer> CheesyTimer::repeatingTimerWithInterval(double seconds,
                                                                     QObject* target,
                                                                     Action action) {
    auto timer = initWithInterval(seconds, target, std::move(action));
    timer->fire();
    return timer;
}

void CheesyTimer::fire() {
    if (selector_ && target_) {
        selector_();
    }
    if (continueRunning_) {
        // The scheduled run holds the timer alive until it has happened.
        const int milliseconds = static_cast<int>(std::lround(std::max(0.0, interval_) * 1000));
        QTimer::singleShot(milliseconds, [self = shared_from_this()] { self->fire(); });
    }
}
