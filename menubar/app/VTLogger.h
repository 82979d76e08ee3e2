#pragma once

#include <QString>
#include <concepts>
#include <cstdarg>
#include <type_traits>
#include <utility>

// Process-wide flag read from the information list's "VT_DEBUG": adds debug details to logs.
extern bool VTDebugEnabled;

// Makes a log text on demand: passed instead of the text where building it costs something
// (arguments filled in, descriptions, object dumps), it runs only when the level is recorded.
template <class Build>
concept VTLogTextBuilder =
    std::invocable<Build&> && std::same_as<std::invoke_result_t<Build&>, QString>;

// The client's per-class logger. Seven levels; only severe, warning and info reach the hub.
class VTLogger {
  public:
    enum Level { Severe = 0, Warning = 1, Info = 2, Config = 3, Fine = 4, Finer = 5, Finest = 6 };

    // What the hub is told: each recorded level's flag, and the client's mask, which enables
    // exactly those three.
    static constexpr int kFlagError = 1;
    static constexpr int kFlagWarning = 2;
    static constexpr int kFlagInfo = 4;
    static constexpr int kLogMask = kFlagError | kFlagWarning | kFlagInfo;

    // One logger per class name, made on first request (which also runs initDependencies).
    static VTLogger* sharedLoggerForClass(const QString& className);
    // Reads "VT_DEBUG" and registers the system log and console loggers; runs once.
    static void initDependencies();
    // Posts the message to the hub: severe synchronously, warning and info asynchronously,
    // the finer levels not at all. The message is never read as a format.
    static void lumberLog(const QString& message, int level);
    // Whether messages of the level go anywhere: callers skip building costly texts that
    // would be dropped.
    static bool isRecorded(int level) { return level <= Info; }

    void severe(const QString& message) const { log(Severe, message); }
    void warning(const QString& message) const { log(Warning, message); }
    void info(const QString& message) const { log(Info, message); }
    void config(const QString& message) const { log(Config, message); }
    void fine(const QString& message) const { log(Fine, message); }
    void finer(const QString& message) const { log(Finer, message); }
    void finest(const QString& message) const { log(Finest, message); }

    // The same with the text built by build, which is called only when the level is recorded.
    template <VTLogTextBuilder Build>
    void severe(Build&& build) const {
        log(Severe, std::forward<Build>(build));
    }
    template <VTLogTextBuilder Build>
    void warning(Build&& build) const {
        log(Warning, std::forward<Build>(build));
    }
    template <VTLogTextBuilder Build>
    void info(Build&& build) const {
        log(Info, std::forward<Build>(build));
    }
    template <VTLogTextBuilder Build>
    void config(Build&& build) const {
        log(Config, std::forward<Build>(build));
    }
    template <VTLogTextBuilder Build>
    void fine(Build&& build) const {
        log(Fine, std::forward<Build>(build));
    }
    template <VTLogTextBuilder Build>
    void finer(Build&& build) const {
        log(Finer, std::forward<Build>(build));
    }
    template <VTLogTextBuilder Build>
    void finest(Build&& build) const {
        log(Finest, std::forward<Build>(build));
    }

    // printf-style twins: "%s" takes UTF-8 text (qUtf8Printable for a QString). A level that is
    // not recorded formats nothing.
    void severeWithFormat(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void warningWithFormat(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void infoWithFormat(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void configWithFormat(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void fineWithFormat(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void finerWithFormat(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void finestWithFormat(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    static QString makeArgString(const char* format, va_list arguments)
        __attribute__((format(printf, 1, 0)));

    void entering(const QString& method) const;
    void exiting(const QString& method) const;
    void exitingWithResult(const QString& method, const QString& result) const;

    // A line that every retry repeats while the service is away: logged the first time, then
    // held back (VTRepeatedLines). `key` names the line where its text varies (a count).
    void repeating(int level, const QString& message) const;
    void repeating(int level, const QString& key, const QString& message) const;
    void repeatingWithFormat(int level, const char* format, ...) const
        __attribute__((format(printf, 3, 4)));

    void log(int level, const QString& message) const;
    template <VTLogTextBuilder Build>
    void log(int level, Build&& build) const {
        if (isRecorded(level)) {
            log(level, std::forward<Build>(build)());
        }
    }
    void logMsgWithFormat(int level, const char* format, ...) const
        __attribute__((format(printf, 3, 4)));
    void logp(int level, const QString& message, const QString& method) const;

    int defaultLevel() const { return defaultLevel_; }
    void setDefaultLevel(int level) { defaultLevel_ = level; }
    const QString& forClass() const { return forClass_; }
    const QString& name() const { return name_; }

  private:
    explicit VTLogger(const QString& className);

    int defaultLevel_ = Config;
    QString forClass_;
    QString name_;
};

// The plain-C entry of the facade; class and method are accepted and not used.
void zed_log(int level, const char* className, const char* method, const QString& message);
