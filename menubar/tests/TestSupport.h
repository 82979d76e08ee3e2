#pragma once

// Shared helpers of the client's tests: a temporary endpoint folder, waiting on the event
// loop, a recorder of what is logged, and a scripted service on loopback that records the
// frames it receives.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <mutex>

#include "app/VTLogger.h"
#include "logging/DDLog.h"
#include "messaging/VTMessageHeader.h"

namespace vttest {

// Runs the event loop until the condition holds or the time is up; answers the condition.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 30000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

// Keeps the event loop running for a while (for checks that something does NOT happen).
inline void spin(int milliseconds) {
    waitFor([] { return false; }, milliseconds);
}

// What reaches the logging hub while the recorder lives; on its end the hub is left without
// loggers.
class LogRecorder {
  public:
    struct Record {
        int flag;  // VTLogger::kFlagError, kFlagWarning or kFlagInfo
        QString message;
    };

    LogRecorder() {
        VTLogger::initDependencies();
        DDLog::addLogger(sink_);
    }
    ~LogRecorder() {
        DDLog::flushLog();
        DDLog::removeAllLoggers();
    }
    QList<Record> records() const {
        DDLog::flushLog();
        return sink_->records();
    }
    // The messages with one of the flags, in order.
    QStringList messages(int flags = VTLogger::kLogMask) const {
        QStringList found;
        for (const Record& record : records()) {
            if (record.flag & flags) {
                found.append(record.message);
            }
        }
        return found;
    }
    qsizetype count(const QString& message) const { return messages().count(message); }

  private:
    class Sink : public DDLogger {
      public:
        void logMessage(const DDLogMessage& message) override {
            std::lock_guard lock(mutex_);
            records_.append({message.logFlag, QString::fromStdString(message.logMsg)});
        }
        QList<Record> records() {
            std::lock_guard lock(mutex_);
            return records_;
        }

      private:
        std::mutex mutex_;
        QList<Record> records_;
    };
    std::shared_ptr<Sink> sink_ = std::make_shared<Sink>();
};

// A private XDG_DATA_HOME (and no machine-wide folders) for the life of the object.
class EndpointFolder {
  public:
    EndpointFolder() {
        previousHome_ = qgetenv("XDG_DATA_HOME");
        previousDirs_ = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_HOME", dir_.path().toUtf8());
        qputenv("XDG_DATA_DIRS", dir_.filePath("machine").toUtf8());
    }
    ~EndpointFolder() {
        qputenv("XDG_DATA_HOME", previousHome_);
        qputenv("XDG_DATA_DIRS", previousDirs_);
    }
    QString path() const { return dir_.path(); }
    void write(const QByteArray& content, const QString& root = QString()) const {
        const QString folder = (root.isEmpty() ? dir_.path() : root) + "/Vaultor";
        QDir().mkpath(folder);
        QFile file(folder + "/.ui_info");
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
    }
    QString machineFolder() const { return dir_.filePath("machine"); }

  private:
    QTemporaryDir dir_;
    QByteArray previousHome_;
    QByteArray previousDirs_;
};

// A private XDG_CONFIG_HOME (and machine-wide configuration folder) for the life of the object,
// so that the login items a test writes stay in it.
class ConfigFolder {
  public:
    ConfigFolder() {
        previousHome_ = qgetenv("XDG_CONFIG_HOME");
        previousDirs_ = qgetenv("XDG_CONFIG_DIRS");
        qputenv("XDG_CONFIG_HOME", dir_.filePath("home").toUtf8());
        qputenv("XDG_CONFIG_DIRS", dir_.filePath("machine").toUtf8());
    }
    ~ConfigFolder() {
        qputenv("XDG_CONFIG_HOME", previousHome_);
        qputenv("XDG_CONFIG_DIRS", previousDirs_);
    }
    QString path() const { return dir_.path(); }
    QString autostart() const { return dir_.filePath("home/autostart"); }
    QString machineAutostart() const { return dir_.filePath("machine/autostart"); }

  private:
    QTemporaryDir dir_;
    QByteArray previousHome_;
    QByteArray previousDirs_;
};

struct Frame {
    qint16 id;
    QByteArray payload;
};

// A scripted service: accepts one client at a time and cuts what it sends into frames.
class FakeService : public QObject {
  public:
    FakeService() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            client_ = server_.nextPendingConnection();
            ++connections_;
            QObject::connect(client_, &QTcpSocket::readyRead, this, [this] { readFrames(); });
        });
    }
    quint16 port() const { return server_.serverPort(); }
    int connections() const { return connections_; }
    QTcpSocket* client() const { return client_; }
    const QList<Frame>& frames() const { return frames_; }
    void clearFrames() { frames_.clear(); }

    void send(const QByteArray& bytes) {
        client_->write(bytes);
        client_->flush();
    }
    void sendFrame(qint16 id, const QByteArray& payload) {
        send(VTMessageHeader::headerWithID(id, payload.size()).dataValue() + payload);
    }
    void dropClient() {
        if (client_) {
            client_->abort();
        }
    }
    bool waitForFrames(int count) {
        return waitFor([&] { return frames_.size() >= count; });
    }

  private:
    void readFrames() {
        buffer_ += client_->readAll();
        while (buffer_.size() >= VTMessageHeader::kSize) {
            const auto header = VTMessageHeader::headerWithData(buffer_);
            if (buffer_.size() < VTMessageHeader::kSize + header.msgLength()) {
                return;
            }
            frames_.append(
                {header.msgID(), buffer_.mid(VTMessageHeader::kSize, header.msgLength())});
            buffer_.remove(0, VTMessageHeader::kSize + header.msgLength());
        }
    }

    QTcpServer server_;
    QTcpSocket* client_ = nullptr;
    int connections_ = 0;
    QByteArray buffer_;
    QList<Frame> frames_;
};

}  // namespace vttest
