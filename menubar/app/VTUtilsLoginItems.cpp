// The login-item operations of VTUtils, on the desktop's autostart entries.
#include <QCoreApplication>
#include <QFileInfo>

#include "app/VTLogger.h"
#include "app/VTUtils.h"
#include "platform/VTAutostartFolder.h"

namespace {

VTLogger* loginItemsLog() {
    return VTLogger::sharedLoggerForClass(QStringLiteral("VTUtils"));
}

VTAutostartFolder loginItems(bool allUsers) {
    return allUsers ? VTAutostartFolder::allUsers() : VTAutostartFolder::user();
}

// This program's file, links resolved as the entries' programs are.
QString clientProgram() {
    const QString program = QCoreApplication::applicationFilePath();
    const QString canonical = QFileInfo(program).canonicalFilePath();
    return canonical.isEmpty() ? program : canonical;
}

bool sameName(const QString& program, const QString& client) {
    return QFileInfo(program).fileName().compare(QFileInfo(client).fileName(),
                                                 Qt::CaseInsensitive) == 0;
}

}  // namespace

void VTUtils::addAppToLoginItems(bool allUsers) {
    loginItemsLog()->config(QStringLiteral("Adding menu bar to login items"));
    const VTAutostartFolder folder = loginItems(allUsers);
    const QString appName = stringFromDefaultPlist(QStringLiteral("kDefaultAppName")).toString();
    const QString program = clientProgram();
    const QString name =
        appName.isEmpty() ? QFileInfo(program).fileName() : appName + QStringLiteral(" Menu Bar");
    const QString comment =
        QCoreApplication::translate("VTUtils", "Shows the state of your backups in the tray");
    if (!folder.add(program, name, comment)) {
        loginItemsLog()->warning(
            QStringLiteral("Could not write an autostart entry in %1; the menu bar will not "
                           "start at login.")
                .arg(folder.folder()));
    }
}

void VTUtils::removeAppFromLoginItems(bool allUsers) {
    loginItemsLog()->config(QStringLiteral("Removing menu bar from login items"));
    const VTAutostartFolder folder = loginItems(allUsers);
    const auto entries = folder.entries();
    if (!entries) {
        return;
    }
    const QString client = clientProgram();
    for (const VTAutostartFolder::Entry& entry : *entries) {
        if (sameName(entry.program, client) && folder.remove(entry)) {
            loginItemsLog()->config(
                QStringLiteral("Removed item from login items with path: %1").arg(entry.program));
        }
    }
}

bool VTUtils::appAlreadyInLoginItems(bool exactPath, bool allUsers) {
    const auto entries = loginItems(allUsers).entries();
    const QString client = clientProgram();
    bool found = false;
    for (const VTAutostartFolder::Entry& entry :
         entries.value_or(QList<VTAutostartFolder::Entry>())) {
        if (sameName(entry.program, client) &&
            (!exactPath || entry.program.compare(client, Qt::CaseInsensitive) == 0)) {
            found = true;
            break;
        }
    }
    loginItemsLog()->fine(QStringLiteral("Checked for menu bar in login items: %1found")
                              .arg(found ? QString() : QStringLiteral("NOT ")));
    return found;
}
