#pragma once

// The real client program as a child process, its standard error on a terminal of its own,
// so that the client's console log shows there as it does for a user who starts it by hand.
// What it writes there is collected line by line.
#include <fcntl.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <cstdlib>

#include "tests/TestSupport.h"

namespace vttest {

class ClientProcess {
  public:
    ClientProcess(const QStringList& arguments, const QProcessEnvironment& environment) {
        terminal_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (terminal_ < 0 || grantpt(terminal_) != 0 || unlockpt(terminal_) != 0) {
            return;
        }
        fcntl(terminal_, F_SETFL, fcntl(terminal_, F_GETFL) | O_NONBLOCK);
        const QString terminalName = QString::fromLocal8Bit(ptsname(terminal_));
        // Held open here too, so that what the client wrote stays readable after it ended.
        terminalEnd_ = open(ptsname(terminal_), O_RDWR | O_NOCTTY);
        process_.setProcessEnvironment(environment);
        process_.setStandardErrorFile(terminalName);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.start(QStringLiteral(VT_CLIENT_EXECUTABLE), arguments);
    }
    ~ClientProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(10000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
        for (int descriptor : {terminalEnd_, terminal_}) {
            if (descriptor >= 0) {
                close(descriptor);
            }
        }
    }

    // The environment of the tests, with the client's endpoint folder and no machine-wide one.
    static QProcessEnvironment environmentWithDataHome(const QString& dataHome) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), dataHome + QStringLiteral("/machine"));
        return environment;
    }

    // Waits for a line of standard error that contains the text.
    bool waitForLine(const QString& text, int timeoutMs = 20000) {
        return waitFor(
            [&] {
                drain();
                return !lines().filter(text).isEmpty();
            },
            timeoutMs);
    }
    // The exit status, or -1 when the client is still running after the timeout.
    int waitForExit(int timeoutMs = 20000) {
        const bool ended = waitFor(
            [&] {
                drain();
                return process_.state() == QProcess::NotRunning;
            },
            timeoutMs);
        drain();
        return ended && process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    QStringList lines() {
        drain();
        return lines_;
    }

  private:
    void drain() {
        char chunk[4096];
        ssize_t count;
        while (terminal_ >= 0 && (count = read(terminal_, chunk, sizeof chunk)) > 0) {
            buffer_.append(chunk, count);
        }
        qsizetype end;
        while ((end = buffer_.indexOf('\n')) >= 0) {
            // The terminal ends its lines with "\r\n".
            lines_.append(QString::fromUtf8(buffer_.left(end)).remove(QLatin1Char('\r')));
            buffer_.remove(0, end + 1);
        }
    }

    int terminal_ = -1;
    int terminalEnd_ = -1;
    QProcess process_;
    QByteArray buffer_;
    QStringList lines_;
};

}  // namespace vttest
