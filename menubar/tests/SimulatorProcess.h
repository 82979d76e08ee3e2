#pragma once

// The service simulator as a child process on loopback, with its own data folder, for the
// client's integration tests. Its standard output (the world, "listening on", and with --log
// one line per frame) is collected line by line.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "tests/TestSupport.h"

namespace vttest {

class SimulatorProcess {
  public:
    explicit SimulatorProcess(const QStringList& arguments, const QString& dataHome = QString())
        : dataHome_(dataHome.isEmpty() ? ownDataHome_.path() : dataHome) {
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            buffer_ += process_.readAllStandardOutput();
            qsizetype end;
            while ((end = buffer_.indexOf('\n')) >= 0) {
                lines_.append(QString::fromUtf8(buffer_.left(end)));
                buffer_.remove(0, end + 1);
            }
        });
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(QStringLiteral(VT_JAVA_EXECUTABLE),
                       QStringList{"-jar", VT_SIM_JAR, "--data-home", dataHome_} + arguments);
    }
    ~SimulatorProcess() { stop(); }

    // Waits for "listening on 127.0.0.1:PORT"; answers the port, or 0.
    quint16 waitUntilListening() {
        static const QRegularExpression listening("^listening on 127\\.0\\.0\\.1:(\\d+)$");
        quint16 port = 0;
        waitFor(
            [&] {
                for (const QString& line : lines_) {
                    const auto match = listening.match(line);
                    if (match.hasMatch()) {
                        port = static_cast<quint16>(match.captured(1).toUInt());
                        return true;
                    }
                }
                return process_.state() == QProcess::NotRunning;
            },
            30000);
        return port;
    }

    // The frame lines ("recv ..."/"send ...") seen so far.
    QStringList frameLines() const {
        QStringList frames;
        for (const QString& line : lines_) {
            if (line.startsWith("recv ") || line.startsWith("send ")) {
                frames.append(line);
            }
        }
        return frames;
    }
    bool waitForLine(const QString& prefix, int timeoutMs = 15000) {
        return waitFor([&] { return hasLine(prefix); }, timeoutMs);
    }
    bool hasLine(const QString& prefix) const {
        return std::any_of(lines_.begin(), lines_.end(),
                           [&](const QString& line) { return line.startsWith(prefix); });
    }
    // The GUID of the n-th computer of a role ("destination", "source") in the world listing.
    qint64 guidOf(const QString& role, int index = 0) const {
        int seen = 0;
        for (const QString& line : lines_) {
            const QStringList parts = line.split(' ');
            if (parts.size() >= 3 && parts[0] == "computer" && parts[1] == role &&
                seen++ == index) {
                return parts[2].toLongLong();
            }
        }
        return 0;
    }
    const QString& dataHome() const { return dataHome_; }
    void stop() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(10000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }
    bool isRunning() const { return process_.state() != QProcess::NotRunning; }

  private:
    QTemporaryDir ownDataHome_;
    QString dataHome_;
    QProcess process_;
    QByteArray buffer_;
    QStringList lines_;
};

}  // namespace vttest
