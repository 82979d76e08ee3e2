#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <functional>
#include <optional>

// Keeps the log quiet while the service is away. Each retry repeats the same lines (the
// endpoint lookup, the refused connection, the failed check), every 3 seconds, for as long
// as the outage lasts. Each distinct line is logged the first time it occurs in an outage;
// later occurrences are held back, and the failures among them (warning and severe) are
// summed up in one line at most every 10 minutes. A line already logged less than 10 minutes
// ago, in an earlier outage, is held back as well, so that a service that comes and goes does
// not have the whole story told again each time. When the outage ends, what was held back is
// dropped: the end is logged by whoever saw it ("Connected after N attempts.").
class VTRepeatedLines {
  public:
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<qint64()>;
    static constexpr qint64 kSummaryIntervalMs = 10 * 60 * 1000;

    struct Line {
        int level;
        QString message;
    };

    explicit VTRepeatedLines(Clock clock);

    // The filter the loggers use: the process's own, or the one installed (tests).
    static VTRepeatedLines& shared();
    static void install(VTRepeatedLines* lines);

    // What to log for one occurrence of the line `key` names (its text when the text does not
    // vary): the line, the summary of the held-back failures, both, or nothing.
    QList<Line> occurrence(int level, const QString& key, const QString& message);
    void outageEnded();

  private:
    struct Logged {
        qint64 at;
        int outage;
    };
    struct Held {
        int level;
        QString message;
        qint64 count;
    };

    Line summary(qint64 now) const;
    void forgetOlderThan(qint64 now);

    Clock clock_;
    QMutex mutex_;
    int outage_ = 0;
    QHash<QString, Logged> logged_;
    QList<QString> heldOrder_;
    QHash<QString, Held> held_;
    std::optional<qint64> heldSince_;
};
