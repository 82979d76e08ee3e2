#include "app/VTT_MacAppDelegate.h"

#include <QCoreApplication>
#include <QTimer>

#include "app/MasterControlProgram.h"
#include "logging/DDLog.h"

VTT_MacAppDelegate::VTT_MacAppDelegate(MasterControlProgram* mcp, QObject* parent)
    : VTLoggingObject(parent), mcp_(mcp) {
    QTimer::singleShot(0, this, &VTT_MacAppDelegate::applicationDidFinishLaunching);
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                     &VTT_MacAppDelegate::applicationShouldTerminate);
}

void VTT_MacAppDelegate::applicationDidFinishLaunching() {
    mcp_->startApp();
}

void VTT_MacAppDelegate::applicationShouldTerminate() {
    qDebug("Received `applicationShouldTerminate:` message");
    DDLog::flushLog();
}
