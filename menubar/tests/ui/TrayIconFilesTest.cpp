#include "ui/icon/VTTrayIconFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ui/VTImages.h"

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage named(const QString& name) {
    QImage image(QStringLiteral(":/images/dots_vt_status_safe.png"));
    image.setText(VTImages::kResourceNameKey, name);
    return image;
}

TEST(TrayIconFilesTest, EachImageIsWrittenOnceFromItsRenderingAndAgainOnlyWhenItsFileWentAway) {
    QTemporaryDir dir;
    VTTrayIconFiles files(dir.filePath("run/vaultor/tray-icons"));
    const QImage image = named("dots_vt_status_safe");
    const QString rendering = *VTImages::pathAtPixelSize(image, 22);

    const auto path = files.fileFor(image, 22);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, files.folder() + "/dots_vt_status_safe-22.png");
    EXPECT_EQ(contents(*path), contents(rendering));

    // A second frame of the same image finds the file in place and leaves it alone.
    {
        QFile file(*path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("left alone");
    }
    EXPECT_EQ(files.fileFor(image, 22), path);
    EXPECT_EQ(contents(*path), "left alone");

    ASSERT_TRUE(QFile::remove(*path));
    EXPECT_EQ(files.fileFor(image, 22), path);
    EXPECT_EQ(contents(*path), contents(rendering));

    // A size the resources hold no rendering for is the image scaled.
    const auto scaled = files.fileFor(image, 17);
    ASSERT_TRUE(scaled.has_value());
    EXPECT_EQ(QImage(*scaled).size(), QSize(17, 17));
}

TEST(TrayIconFilesTest, NamesUnfitForAFileNameAndFoldersThatCannotBeMadeGiveNoFile) {
    QTemporaryDir dir;
    VTTrayIconFiles files(dir.filePath("icons"));
    for (const char* name : {"", "../dots_vt_status_safe", "a/b", ".hidden", "-option"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(files.fileFor(named(name), 22).has_value());
    }
    EXPECT_FALSE(files.fileFor(named("dots_vt_status_safe"), 0).has_value());
    EXPECT_FALSE(files.fileFor(QImage(), 22).has_value());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    {
        QFile blocker(dir.filePath("file"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    VTTrayIconFiles blocked(dir.filePath("file/icons"));
    EXPECT_FALSE(blocked.fileFor(named("dots_vt_status_safe"), 22).has_value());
    EXPECT_FALSE(blocked.fileFor(named("dots_vt_status_safe"), 22).has_value());
}

TEST(TrayIconFilesTest, TheFolderIsInTheSessionsRuntimeDirectoryOnly) {
    const bool wasSet = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const struct {
        const char* runtime;
        std::optional<QString> folder;
    } cases[] = {
        {"/run/user/1000", QStringLiteral("/run/user/1000/vaultor/tray-icons")},
        {"", std::nullopt},
        {"relative/run", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runtime);
        qputenv("XDG_RUNTIME_DIR", c.runtime);
        EXPECT_EQ(VTTrayIconFiles::runtimeFolder(), c.folder);
    }
    if (wasSet) {
        qputenv("XDG_RUNTIME_DIR", saved);
    } else {
        qunsetenv("XDG_RUNTIME_DIR");
    }
}

}  // namespace
