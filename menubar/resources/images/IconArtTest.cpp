// Checks the rendered tray images as a user would meet them: every image of every icon theme
// present at every size, legible on dark and light panels, each state told apart by shape, and
// animations that turn one way (or, in "no_animation", never move).
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {

struct Theme {
    const char* name;
    int frames;
};
const Theme kThemes[] = {{"dots", 12}, {"colors", 12}, {"gradient", 12}, {"no_animation", 1}};

const QStringList kTrayStills = {
    "vt_status_safe",   "vt_status_safe_alert",   "vt_status_warning",  "vt_status_warning_alert",
    "vt_status_severe", "vt_status_severe_alert", "vt_status_complete", "vt_status_complete_alert",
    "vt_status_gray",   "vt_status_paused",       "vt_icon_clicked"};
const QStringList kRowButtons = {"play", "pause", "info_small"};
const QStringList kRowStatus = {"computer_status_safe", "computer_status_warning",
                                "computer_status_severe", "computer_status_complete",
                                "computer_status_offline"};
const std::vector<int> kSizes = {16, 22, 24, 32, 44, 48, 64};
constexpr int kMasterSize = 64;

// The panel colours the images must read on: two dark, two light.
const std::vector<QRgb> kPanels = {qRgb(0x20, 0x20, 0x20), qRgb(0x30, 0x30, 0x30),
                                   qRgb(0xf0, 0xf0, 0xf0), qRgb(0xdc, 0xdc, 0xdc)};

QStringList themed(const Theme& theme, const QStringList& names) {
    QStringList out;
    for (const QString& name : names) {
        out << QStringLiteral("%1_%2").arg(QLatin1String(theme.name), name);
    }
    return out;
}

QString invisible(const Theme& theme) {
    return QStringLiteral("%1_invisible").arg(QLatin1String(theme.name));
}

QString frameName(const Theme& theme, int frame) {
    return QStringLiteral("%1_vt_status_active_anim%2").arg(QLatin1String(theme.name)).arg(frame);
}

QStringList animationFrames(const Theme& theme) {
    QStringList frames;
    for (int frame = 0; frame < theme.frames; ++frame) {
        frames << frameName(theme, frame);
    }
    return frames;
}

QStringList visibleImages() {
    QStringList names = kRowStatus;
    for (const Theme& theme : kThemes) {
        names << themed(theme, kTrayStills) << animationFrames(theme) << themed(theme, kRowButtons);
    }
    return names;
}

QImage sized(const QString& name, int size) {
    return QImage(QStringLiteral(":/images/sizes/%1/%2.png").arg(size).arg(name))
        .convertToFormat(QImage::Format_ARGB32);
}

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QRgb colour) {
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
           0.0722 * linear(qBlue(colour));
}

double contrast(QRgb a, QRgb b) {
    const double first = luminance(a);
    const double second = luminance(b);
    const auto [dark, light] = std::minmax(first, second);
    return (light + 0.05) / (dark + 0.05);
}

// The pixel as it shows on the panel: blended in sRGB, as desktop compositors do.
QRgb over(QRgb pixel, QRgb panel) {
    const double a = qAlpha(pixel) / 255.0;
    const auto mix = [a](int top, int bottom) {
        return static_cast<int>(std::lround(top * a + bottom * (1.0 - a)));
    };
    return qRgb(mix(qRed(pixel), qRed(panel)), mix(qGreen(pixel), qGreen(panel)),
                mix(qBlue(pixel), qBlue(panel)));
}

constexpr int kOpaque = 128;

// How well a glyph stands out from a panel. Each pixel of the glyph that is at least half
// opaque is blended over the panel and its WCAG contrast with the panel taken; the result is
// the contrast that the strongest tenth of those pixels all reach. That tenth never counts
// fewer pixels than 2% of the image, so a speck cannot carry a glyph. Blending first matters
// for thin lines: the soft edges of a hairline are nearly the panel's colour, so a thin
// mid-grey glyph on a grey or light panel scores low however dark its ink, while a glyph with
// a solid body, a bright fill or a dark rim scores high on its best tenth.
double legibility(const QImage& image, QRgb panel) {
    std::vector<double> contrasts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) >= kOpaque) {
                contrasts.push_back(contrast(over(pixel, panel), panel));
            }
        }
    }
    const auto minimum = static_cast<size_t>(std::ceil(0.02 * image.width() * image.height()));
    const size_t strong = std::max(minimum, (contrasts.size() + 9) / 10);
    if (contrasts.size() < strong) {
        return 1.0;
    }
    std::nth_element(contrasts.begin(), contrasts.begin() + (strong - 1), contrasts.end(),
                     std::greater<>());
    return contrasts[strong - 1];
}

constexpr double kMinContrast = 3.0;

// Shape as someone who sees no colour meets it: every pixel is empty, the glyph's body
// (within 0.15 of the glyph's median lightness), or a mark lighter or darker than the body.
enum class Ink { Empty, Body, Light, Dark };

double lightness(QRgb pixel) {
    return (0.2126 * qRed(pixel) + 0.7152 * qGreen(pixel) + 0.0722 * qBlue(pixel)) / 255.0;
}

std::vector<Ink> inkMap(const QImage& image) {
    std::vector<double> opaque;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= kOpaque) {
                opaque.push_back(lightness(image.pixel(x, y)));
            }
        }
    }
    std::nth_element(opaque.begin(), opaque.begin() + opaque.size() / 2, opaque.end());
    const double body = opaque.empty() ? 0.0 : opaque[opaque.size() / 2];
    std::vector<Ink> map;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const double l = lightness(pixel);
            map.push_back(qAlpha(pixel) < kOpaque ? Ink::Empty
                          : l > body + 0.15       ? Ink::Light
                          : l < body - 0.15       ? Ink::Dark
                                                  : Ink::Body);
        }
    }
    return map;
}

int shapeDistance(const QImage& a, const QImage& b) {
    const std::vector<Ink> inkA = inkMap(a);
    const std::vector<Ink> inkB = inkMap(b);
    int differing = 0;
    for (size_t i = 0; i < inkA.size(); ++i) {
        differing += inkA[i] != inkB[i] ? 1 : 0;
    }
    return differing;
}

// Pixels whose colour or opacity changes visibly between two images.
int visiblyDifferentPixels(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int delta =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            differing += delta > 24 ? 1 : 0;
        }
    }
    return differing;
}

// Where the travelling light of an animation frame sits: the angle, clockwise from twelve
// o'clock, of the centre of the near-white pixels, weighted by how white they are.
double lightAngle(const QImage& frame) {
    double sumX = 0.0;
    double sumY = 0.0;
    double total = 0.0;
    const double centre = (frame.width() - 1) / 2.0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb p = frame.pixel(x, y);
            const double weight = qAlpha(p) < kOpaque
                                      ? 0.0
                                      : std::max(0, std::min({qRed(p), qGreen(p), qBlue(p)}) - 170);
            sumX += weight * (x - centre);
            sumY += weight * (y - centre);
            total += weight;
        }
    }
    if (total == 0.0) {
        return NAN;
    }
    const double degrees = std::atan2(sumX / total, -sumY / total) * 180.0 / std::numbers::pi;
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

// A thin mid-grey ring, a pixel and a half wide and smoothed at its edges.
QImage thinGreyRing() {
    QImage ring(22, 22, QImage::Format_ARGB32);
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 22; ++x) {
            const double r = std::hypot(x + 0.5 - 11.0, y + 0.5 - 11.0);
            const double coverage = std::clamp(0.75 - std::abs(r - 8.0), 0.0, 1.0);
            ring.setPixel(x, y, qRgba(0x99, 0x99, 0x99, static_cast<int>(coverage * 255)));
        }
    }
    return ring;
}

// Three black pixels: high contrast, no area.
QImage speck() {
    QImage image(22, 22, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int x = 10; x < 13; ++x) {
        image.setPixel(x, 11, qRgba(0, 0, 0, 255));
    }
    return image;
}

TEST(IconArt, EveryImageIsRenderedAtItsMasterSizeAndEverySize) {
    QStringList names = visibleImages();
    for (const Theme& theme : kThemes) {
        names << invisible(theme);
    }
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QImage master(QStringLiteral(":/images/%1.png").arg(name));
        ASSERT_FALSE(master.isNull());
        EXPECT_EQ(master.size(), QSize(kMasterSize, kMasterSize));
        for (const int size : kSizes) {
            SCOPED_TRACE(size);
            const QImage image = sized(name, size);
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), QSize(size, size));
        }
    }
}

TEST(IconArt, EveryImageStandsOutOnDarkAndLightPanels) {
    for (const QString& name : visibleImages()) {
        for (const int size : {16, 22}) {
            const QImage image = sized(name, size);
            for (const QRgb panel : kPanels) {
                SCOPED_TRACE(QStringLiteral("%1 at %2 px on %3")
                                 .arg(name)
                                 .arg(size)
                                 .arg(QColor(panel).name())
                                 .toStdString());
                EXPECT_GE(legibility(image, panel), kMinContrast);
            }
        }
    }
}

TEST(IconArt, LegibilityRejectsFaintOrTinyGlyphs) {
    const struct {
        const char* what;
        QImage image;
        QRgb panel;
    } cases[] = {
        {"thin mid-grey ring on a light panel", thinGreyRing(), qRgb(0xf0, 0xf0, 0xf0)},
        {"thin mid-grey ring on a light grey panel", thinGreyRing(), qRgb(0xdc, 0xdc, 0xdc)},
        {"black speck on a light panel", speck(), qRgb(0xf0, 0xf0, 0xf0)},
        {"empty image", sized(invisible(kThemes[0]), 22), qRgb(0xf0, 0xf0, 0xf0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_LT(legibility(c.image, c.panel), kMinContrast);
    }
}

TEST(IconArt, ImagesShownInTheSamePlaceDifferInShape) {
    // Smaller than a 4 x 4 block of a 22 px image, a difference is not a recognisable shape.
    constexpr int kMinDifferentPixels = 16;
    std::vector<QStringList> groups = {kRowStatus};
    for (const Theme& theme : kThemes) {
        groups.push_back(themed(theme, kTrayStills) << frameName(theme, 0));
        groups.push_back(themed(theme, kRowButtons));
    }
    for (const QStringList& group : groups) {
        for (int i = 0; i < group.size(); ++i) {
            for (int j = i + 1; j < group.size(); ++j) {
                SCOPED_TRACE((group[i] + " vs " + group[j]).toStdString());
                EXPECT_GE(shapeDistance(sized(group[i], 22), sized(group[j], 22)),
                          kMinDifferentPixels);
            }
        }
    }
}

TEST(IconArt, InvisibleImageIsFullyTransparentAtEverySize) {
    for (const Theme& theme : kThemes) {
        for (const int size : kSizes) {
            SCOPED_TRACE(QStringLiteral("%1 at %2").arg(invisible(theme)).arg(size).toStdString());
            const QImage image = sized(invisible(theme), size);
            ASSERT_FALSE(image.isNull());
            int opaque = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    opaque += qAlpha(image.pixel(x, y)) != 0 ? 1 : 0;
                }
            }
            EXPECT_EQ(opaque, 0);
        }
    }
}

TEST(IconArt, EachAnimationHasItsPairwiseDistinctFramesThenStops) {
    // The client loads frames until the first missing one, so a frame past the last would be
    // shown too; a theme with one frame shows a still image while data moves.
    for (const Theme& theme : kThemes) {
        SCOPED_TRACE(theme.name);
        EXPECT_FALSE(
            QFile::exists(QStringLiteral(":/images/%1.png").arg(frameName(theme, theme.frames))));
        std::vector<QImage> frames;
        for (const QString& name : animationFrames(theme)) {
            frames.push_back(sized(name, 22));
            ASSERT_FALSE(frames.back().isNull()) << name.toStdString();
        }
        for (int i = 0; i < theme.frames; ++i) {
            for (int j = i + 1; j < theme.frames; ++j) {
                SCOPED_TRACE(QStringLiteral("frames %1 and %2").arg(i).arg(j).toStdString());
                EXPECT_GE(visiblyDifferentPixels(frames[i], frames[j]), 8);
            }
        }
    }
}

TEST(IconArt, EveryAnimatedLightTurnsClockwiseOneTwelfthPerFrame) {
    // Sending plays the frames forwards and receiving backwards: the two read as opposite
    // directions only when every step turns the same way by the same amount.
    for (const Theme& theme : kThemes) {
        if (theme.frames == 1) {
            continue;
        }
        const double step = 360.0 / theme.frames;
        for (int frame = 0; frame < theme.frames; ++frame) {
            SCOPED_TRACE(QStringLiteral("%1 frame %2").arg(theme.name).arg(frame).toStdString());
            const double from = lightAngle(sized(frameName(theme, frame), kMasterSize));
            const double to =
                lightAngle(sized(frameName(theme, (frame + 1) % theme.frames), kMasterSize));
            ASSERT_FALSE(std::isnan(from) || std::isnan(to));
            EXPECT_NEAR(std::fmod(to - from + 360.0, 360.0), step, step / 4);
        }
    }
}

}  // namespace
