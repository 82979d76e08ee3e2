#pragma once

#include <QImage>
#include <QString>
#include <optional>

// The images of the tray and the status panel, looked up by resource name.
class VTImages {
  public:
    VTImages() = delete;

    // The image for name in the current icon theme ("theme_name"), read once and cached, so
    // that the same name gives the very same image (compared by cacheKey()); a null image when
    // there is none.
    static QImage imageFromResourceName(const QString& name);
    // The rendering of an image of imageFromResourceName drawn for exactly that many pixels,
    // when the resources hold one.
    static std::optional<QString> pathAtPixelSize(const QImage& image, int pixels);

    // The text under which an image of imageFromResourceName keeps its themed name.
    static inline const QString kResourceNameKey = QStringLiteral("VTResourceName");
};
