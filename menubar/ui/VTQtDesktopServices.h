#pragma once

#include "app/VTDesktopServices.h"

// The desktop as Qt reaches it: the default handler of an address, a detached program.
class VTQtDesktopServices : public VTDesktopServices {
  public:
    void openURL(const QUrl& url) override;
    bool launchApplication(const QString& path) override;
};
