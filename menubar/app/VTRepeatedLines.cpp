#include "app/VTRepeatedLines.h"

#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <atomic>

#include "app/VTLogger.h"

namespace {

std::atomic<VTRepeatedLines*> installed{nullptr};

qint64 monotonicMilliseconds() {
    static QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.elapsed();
}

}  // namespace

VTRepeatedLines::VTRepeatedLines(Clock clock) : clock_(std::move(clock)) {}

VTRepeatedLines& VTRepeatedLines::shared() {
    static VTRepeatedLines processLines(monotonicMilliseconds);
    VTRepeatedLines* lines = installed.load();
    return lines ? *lines : processLines;
}

void VTRepeatedLines::install(VTRepeatedLines* lines) {
    installed.store(lines);
}

QList<VTRepeatedLines::Line> VTRepeatedLines::occurrence(int level, const QString& key,
                                                         const QString& message) {
    QMutexLocker lock(&mutex_);
    const qint64 now = clock_();
    QList<Line> lines;
    const auto logged = logged_.constFind(key);
    const bool fresh = logged == logged_.constEnd() ||
                       (logged->outage != outage_ && now - logged->at >= kSummaryIntervalMs);
    if (fresh) {
        logged_.insert(key, {now, outage_});
        lines.append({level, message});
    } else if (level <= VTLogger::Warning) {
        auto held = held_.find(key);
        if (held == held_.end()) {
            heldOrder_.append(key);
            held = held_.insert(key, {level, message, 0});
        }
        held->level = level;
        held->message = message;
        ++held->count;
        if (!heldSince_) {
            heldSince_ = now;
        }
    }
    if (heldSince_ && now - *heldSince_ >= kSummaryIntervalMs) {
        lines.append(summary(now));
        held_.clear();
        heldOrder_.clear();
        heldSince_.reset();
    }
    return lines;
}

VTRepeatedLines::Line VTRepeatedLines::summary(qint64 now) const {
    QStringList parts;
    int level = VTLogger::Warning;
    for (const QString& key : heldOrder_) {
        const Held& held = held_[key];
        level = std::min(level, held.level);
        // One line in the log, whatever the held-back message looked like.
        QString message = held.message;
        message.replace(QLatin1Char('\n'), QLatin1Char(' '));
        parts.append(held.count == 1
                         ? QStringLiteral("\"%1\" once").arg(message)
                         : QStringLiteral("\"%1\" %2 times").arg(message).arg(held.count));
    }
    const qint64 minutes = (now - *heldSince_) / 60000;
    return {level, QStringLiteral("Held back in the last %1 minutes: %2.")
                       .arg(minutes)
                       .arg(parts.join(QStringLiteral("; ")))};
}

void VTRepeatedLines::outageEnded() {
    QMutexLocker lock(&mutex_);
    ++outage_;
    held_.clear();
    heldOrder_.clear();
    heldSince_.reset();
    forgetOlderThan(clock_());
}

void VTRepeatedLines::forgetOlderThan(qint64 now) {
    // Lines this old are fresh again in a new outage; remembering them serves nothing.
    for (auto logged = logged_.begin(); logged != logged_.end();) {
        if (now - logged->at >= kSummaryIntervalMs) {
            logged = logged_.erase(logged);
        } else {
            ++logged;
        }
    }
}
