#include "ui/icon/VTTrayIconFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include "app/VTLogger.h"
#include "ui/VTImages.h"

namespace {

// The names are the resources' own ("dots_vt_status_safe"), but their theme part comes from
// the user's defaults: nothing that could reach out of the folder or hide a file.
bool fitForFileName(const QString& name) {
    static const QRegularExpression kName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9_.-]*$"));
    return kName.match(name).hasMatch();
}

}  // namespace

std::optional<QString> VTTrayIconFiles::runtimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QDir::isAbsolutePath(runtime)) {
        return std::nullopt;
    }
    return runtime + QStringLiteral("/vaultor/tray-icons");
}

std::optional<QString> VTTrayIconFiles::fileFor(const QImage& image, int pixels) {
    const QString name = image.text(VTImages::kResourceNameKey);
    if (pixels <= 0 || !fitForFileName(name)) {
        return std::nullopt;
    }
    const QString path = QStringLiteral("%1/%2-%3.png").arg(folder_, name).arg(pixels);
    if (written_.contains(path) && QFile::exists(path)) {
        return path;
    }
    if (failed_.contains(path)) {
        return std::nullopt;
    }
    if (!write(image, pixels, path)) {
        failed_.insert(path);
        VTLogger::sharedLoggerForClass(QStringLiteral("VTTrayIconFiles"))
            ->warning(QStringLiteral("Could not write the tray image %1; the tray gets its "
                                     "pixels instead.")
                          .arg(path));
        return std::nullopt;
    }
    written_.insert(path);
    return path;
}

bool VTTrayIconFiles::write(const QImage& image, int pixels, const QString& path) const {
    if (!QDir().mkpath(folder_)) {
        return false;
    }
    // Written aside and renamed into place: a host reading the file never sees half of it.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (const auto rendering = VTImages::pathAtPixelSize(image, pixels)) {
        QFile source(*rendering);
        if (!source.open(QIODevice::ReadOnly) || file.write(source.readAll()) != source.size()) {
            return false;
        }
    } else if (!image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                    .save(&file, "PNG")) {
        return false;
    }
    return file.commit();
}
