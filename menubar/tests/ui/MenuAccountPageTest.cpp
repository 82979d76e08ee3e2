// The account page address from the service's reply: opened unchanged when it is a web
// address, refused with a warning otherwise (a message from a socket must not start whatever
// handler another scheme has).
#include <gtest/gtest.h>

#include "app/VTDesktopServices.h"
#include "app/VTUtils.h"
#include "tests/ui/UiTestSupport.h"

using namespace UiTestSupport;

namespace {

class RecordingDesktop : public VTDesktopServices {
  public:
    void openURL(const QUrl& url) override { opened << url.toString(QUrl::FullyEncoded); }
    bool launchApplication(const QString&) override { return false; }
    QStringList opened;
};

using MenuAccountPage = UiTest;

TEST_F(MenuAccountPage, OnlyHttpAndHttpsAddressesAreOpenedAndTheRestIsRefusedWithAWarning) {
    struct Case {
        const char* key;
        const char* opened;  // empty: nothing opened
        const char* warning;
    };
    const Case cases[] = {
        {"https://www.vaultor.example/account?key=3f9a",
         "https://www.vaultor.example/account?key=3f9a", nullptr},
        {"http://127.0.0.1:8080/account?key=a%20b", "http://127.0.0.1:8080/account?key=a%20b",
         nullptr},
        {"HTTPS://www.vaultor.example/a", "https://www.vaultor.example/a", nullptr},
        {"file:///etc/passwd", "", "Refused to open an account page address with the scheme"},
        {"javascript:alert(1)", "", "scheme \"javascript\""},
        {"x-vaultor-handler:run?command=erase", "", "scheme \"x-vaultor-handler\""},
        {"ftp://files.vaultor.example/key", "", "scheme \"ftp\""},
        {"", "", "no usable account page address"},
        {"/account?key=3f9a", "", "no usable account page address"},
        {"http://[broken", "", "no usable account page address"},
    };
    RecordingDesktop desktop;
    VTUtils::setDesktopServices(&desktop);
    for (const Case& c : cases) {
        desktop.opened.clear();
        const int warningsBefore = static_cast<int>(recorder_->warnings().size());
        VTUtils::openManageAccountPage(QString::fromUtf8(c.key), &state_);
        EXPECT_EQ(desktop.opened, *c.opened ? QStringList{c.opened} : QStringList()) << c.key;
        const QStringList warnings = recorder_->warnings().mid(warningsBefore);
        if (c.warning) {
            EXPECT_EQ(warnings.filter(c.warning).size(), 1) << c.key;
        } else {
            EXPECT_EQ(warnings, QStringList()) << c.key;
        }
    }
    VTUtils::setDesktopServices(nullptr);
}

}  // namespace
