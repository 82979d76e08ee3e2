#include "ui/VTImages.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QTemporaryDir>

#include "app/VTUtils.h"
#include "platform/VTUserDefaults.h"

namespace {

TEST(VTImagesTest, ImagesFollowTheThemeAreCachedAndMissingOnesAreNull) {
    QTemporaryDir dir;
    VTUserDefaults defaults(dir.filePath("defaults.ini"));
    VTUtils::setUserDefaults(&defaults);
    const QString themeKey = "VTDefaultsKeyIconThemeName";
    defaults.setObject("testred", themeKey);
    const QImage red = VTImages::imageFromResourceName("play");
    EXPECT_EQ(red.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(VTImages::imageFromResourceName("play").cacheKey(), red.cacheKey());
    defaults.setObject("testgreen", themeKey);
    EXPECT_EQ(VTImages::imageFromResourceName("play").pixelColor(0, 0), QColor(0, 255, 0));
    defaults.setObject("", themeKey);
    EXPECT_EQ(VTImages::imageFromResourceName("play").pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_TRUE(VTImages::imageFromResourceName("no-such-image").isNull());
    EXPECT_EQ(VTUtils::imagePathFromResourceName("play"), ":/images/play.png");
    EXPECT_FALSE(VTUtils::imagePathFromResourceName("missing").has_value());
    VTUtils::setUserDefaults(nullptr);
}

}  // namespace
