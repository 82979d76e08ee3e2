#pragma once

#include <QString>
#include <QUrl>

// What the client asks of the desktop: opening an address with its default handler and
// starting a program. The core reaches the desktop only through this.
class VTDesktopServices {
  public:
    virtual ~VTDesktopServices() = default;
    virtual void openURL(const QUrl& url) = 0;
    // Starts the program detached; false when it could not be started.
    virtual bool launchApplication(const QString& path) = 0;
};
