#pragma once

// The presentation tests' fixture: the status text fixture's application state fed from the
// service's documents, with the client's user defaults pointed at its temporary ones and the
// "dots" icon theme chosen; and names for the images a view shows.
#include <QImage>
#include <QList>
#include <QStringList>

#include "app/VTUtils.h"
#include "platform/VTUserDefaults.h"
#include "tests/StatusTextTestSupport.h"
#include "ui/VTImages.h"

namespace UiTestSupport {

inline const QString kThemeKey = QStringLiteral("VTDefaultsKeyIconThemeName");

// The name an image was loaded under, without the "dots_" of the default theme
// ("vt_status_safe", "testone_vt_status_gray"), or "null".
inline QString nameOf(const QImage& image) {
    if (image.isNull()) {
        return QStringLiteral("null");
    }
    QString name = image.text(VTImages::kResourceNameKey);
    if (name.startsWith(QLatin1String("dots_"))) {
        name.remove(0, 5);
    }
    return name;
}

// Names as runs of equal ones: "vt_status_safe*10 vt_status_safe_alert*3".
inline QString runs(const QStringList& names) {
    QStringList out;
    for (qsizetype i = 0; i < names.size();) {
        qsizetype end = i;
        while (end < names.size() && names[end] == names[i]) {
            ++end;
        }
        out << (end - i == 1 ? names[i] : QStringLiteral("%1*%2").arg(names[i]).arg(end - i));
        i = end;
    }
    return out.join(QLatin1Char(' '));
}

inline QString runs(const QList<QImage>& frames) {
    QStringList names;
    for (const QImage& frame : frames) {
        names << nameOf(frame);
    }
    return runs(names);
}

class UiTest : public StatusTextTestSupport::StatusTextTest {
  protected:
    void SetUp() override {
        StatusTextTest::SetUp();
        VTUtils::setUserDefaults(defaults_.get());
        defaults_.get()->setObject(QStringLiteral("dots"), kThemeKey);
    }
    void TearDown() override {
        StatusTextTest::TearDown();
        VTUtils::setUserDefaults(nullptr);
    }

    // The service is reachable and has sent the account with the scenario's changes.
    void connectAndApply(const char* overlay = "{}") {
        state_.setIsConnected(true);
        apply(overlay);
    }
};

}  // namespace UiTestSupport
