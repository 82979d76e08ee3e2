#include "support/QtFuzzEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

#include "app/VTLogger.h"
#include "app/VTUtils.h"
#include "logging/DDLog.h"
#include "platform/VTUserDefaults.h"

namespace {

QTemporaryDir& folders() {
    static QTemporaryDir directory(QDir::tempPath() + QStringLiteral("/vaultor-fuzz-XXXXXX"));
    return directory;
}

void discardQtMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

namespace QtFuzzEnvironment {

void setUp() {
    static const bool done = [] {
        const QString root = folders().path();
        QDir(root).mkpath(QStringLiteral("data"));
        QDir(root).mkpath(QStringLiteral("config"));
        QDir(root).mkpath(QStringLiteral("shared"));
        // Set before the application exists: Qt reads the folders once.
        setenv("XDG_DATA_HOME", qUtf8Printable(root + QStringLiteral("/data")), 1);
        setenv("XDG_CONFIG_HOME", qUtf8Printable(root + QStringLiteral("/config")), 1);
        setenv("XDG_DATA_DIRS", qUtf8Printable(root + QStringLiteral("/shared")), 1);
        static int argc = 1;
        static char name[] = "vaultor-fuzz";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
        qInstallMessageHandler(discardQtMessage);
        VTLogger::initDependencies();
        DDLog::removeAllLoggers();
        VTUtils::setUserDefaults(userDefaults());
        return true;
    }();
    (void)done;
}

QString dataHome() {
    return folders().path() + QStringLiteral("/data");
}

VTUserDefaults* userDefaults() {
    static VTUserDefaults defaults(folders().path() + QStringLiteral("/config/defaults.ini"));
    return &defaults;
}

void finishInput() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents();
}

}  // namespace QtFuzzEnvironment
