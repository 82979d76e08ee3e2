#pragma once

#include <QString>
#include <cstdarg>

// Process-wide flag read from the information list's "VT_DEBUG": adds debug details to logs.
extern bool VTDebugEnabled;

// The client's per-class logger. Seven levels; only severe, warning and info reach the hub.
class VTLogger {
  public:
    enum Level { Severe = 0, Warning = 1, Info = 2, Config = 3, Fine = 4, Finer = 5, Finest = 6 };

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

    // printf-style twins: "%s" takes UTF-8 text (qUtf8Printable for a QString).
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

    void log(int level, const QString& message) const;
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
