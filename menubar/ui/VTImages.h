#pragma once

#include <QImage>
#include <QString>

// The images of the tray and the status panel, looked up by resource name.
class VTImages {
  public:
    VTImages() = delete;

    // The image for name in the current icon theme ("theme_name"), read once and cached, so
    // that the same name gives the very same image (compared by cacheKey()); a null image when
    // there is none.
    static QImage imageFromResourceName(const QString& name);
};
