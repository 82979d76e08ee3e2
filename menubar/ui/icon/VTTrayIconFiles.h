#pragma once

#include <QImage>
#include <QSet>
#include <QString>
#include <optional>

// The tray's images as PNG files, for a tray host that reads the icon from a file named in
// the item rather than taking its pixels over the session bus. Each image is written once per
// size and run (again only if its file went away), atomically, into a folder of the user's
// runtime directory, which the session removes at logout.
class VTTrayIconFiles {
  public:
    // Files go into folder, made on first use.
    explicit VTTrayIconFiles(QString folder) : folder_(std::move(folder)) {}

    // The folder under $XDG_RUNTIME_DIR; none when the session has no runtime directory.
    static std::optional<QString> runtimeFolder();

    const QString& folder() const { return folder_; }

    // The file showing the image at that many pixels: the rendering drawn for that size when
    // the resources hold one, else the image scaled. None for an image without a resource
    // name fit for a file name, or when the file cannot be written (logged once per image).
    std::optional<QString> fileFor(const QImage& image, int pixels);

  private:
    bool write(const QImage& image, int pixels, const QString& path) const;

    QString folder_;
    QSet<QString> written_;
    QSet<QString> failed_;
};
