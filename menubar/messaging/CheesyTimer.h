#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

// A repeating timer that runs its action at once and schedules the next run only after the
// action returned, so the period is the interval plus the action's own run time.
// `invalidate` stops rescheduling; a run already scheduled still happens once.
class CheesyTimer : public std::enable_shared_from_this<CheesyTimer> {
  public:
    using Action = std::function<void()>;

    // Runs the action once before returning. A target that is gone counts as a target that
    // does not implement the action: the timer keeps rescheduling without running anything.
    static std::shared_ptr<CheesyTimer> repeatingTimerWithInterval(double seconds, QObject* target,
                                                                   Action action);
    static std::shared_ptr<CheesyTimer> initWithInterval(double seconds, QObject* target,
                                                         Action action);

    void fire();
    void invalidate() { continueRunning_ = false; }
    bool isRunning() const { return continueRunning_; }
    double interval() const { return interval_; }

  private:
    CheesyTimer(double seconds, QObject* target, Action action);

    QPointer<QObject> target_;
    Action selector_;
    double interval_;
    bool continueRunning_ = true;
};
