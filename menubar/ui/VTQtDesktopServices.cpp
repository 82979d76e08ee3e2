#include "ui/VTQtDesktopServices.h"

#include <QDesktopServices>
#include <QProcess>

void VTQtDesktopServices::openURL(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

bool VTQtDesktopServices::launchApplication(const QString& path) {
    return QProcess::startDetached(path, {});
}
