// Desktop notices against a fake notification service on a private session bus: what a
// notice carries, which changes of the backup state are told and when (never during the muted
// minute after start and wake, once per transition), and one log line where no service
// answers.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QSignalSpy>

#include "app/VTStatusNotifier.h"
#include "app/VTUtils.h"
#include "platform/VTDesktopNotifications.h"
#include "tests/StatusTextTestSupport.h"
#include "tests/TestSupport.h"
#include "tests/notifications/FakeNotificationService.h"

namespace {

constexpr const char* kBarrier = "barrier";

// How many lines said that notices cannot be shown.
qsizetype unavailableLines(const vttest::LogRecorder& log) {
    qsizetype lines = 0;
    for (const QString& message : log.messages()) {
        lines += message.startsWith(QLatin1String("No desktop notification service")) ? 1 : 0;
    }
    return lines;
}

TEST(DesktopNotifications, NoticesCarryTheirTextsEscapedOnlyWhereTheServiceReadsMarkup) {
    const struct {
        QStringList capabilities;
        QString body;
    } cases[] = {
        {{"body", "body-markup", "actions"}, "Out of space &lt;b&gt; &amp; more"},
        {{"body"}, "Out of space <b> & more"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capabilities.join(' ').toStdString());
        FakeNotificationService service(c.capabilities);
        ASSERT_TRUE(service.start()) << "needs a private session bus (dbus-run-session)";
        VTDesktopNotifications notices(QDBusConnection::sessionBus());
        notices.showNotice(
            {"Backups to <Attic> need attention", "Out of space <b> & more", "dialog-warning"});
        ASSERT_TRUE(vttest::waitFor([&] { return service.notices().size() == 1; }));
        const FakeNotificationService::Notice& notice = service.notices().first();
        EXPECT_EQ(notice.appName, "Vaultor");
        EXPECT_EQ(notice.summary, "Backups to <Attic> need attention");  // never markup
        EXPECT_EQ(notice.body, c.body);
        EXPECT_EQ(notice.icon, "dialog-warning");
        EXPECT_EQ(notice.hints.value("urgency").toInt(), 1);
        EXPECT_EQ(notice.timeout, -1);
    }
}

TEST(DesktopNotifications, WithoutAServiceOrABusNoticesAreDroppedWithOneLine) {
    const struct {
        const char* what;
        QDBusConnection bus;
    } cases[] = {
        {"no notification service on the bus", QDBusConnection::sessionBus()},
        {"no bus at all",
         QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/vaultor-test-bus"),
                                       QStringLiteral("nowhere"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        vttest::LogRecorder log;
        VTDesktopNotifications notices(c.bus);
        QSignalSpy dropped(&notices, &VTDesktopNotifications::noticeDropped);
        for (int i = 0; i < 3; ++i) {
            notices.showNotice({"Backup service not reachable", "body", "dialog-error"});
        }
        ASSERT_TRUE(vttest::waitFor([&] { return dropped.count() == 3; }));
        EXPECT_EQ(unavailableLines(log), 1);
    }
}

class StatusNotifierTest : public StatusTextTestSupport::StatusTextTest {
  protected:
    void SetUp() override {
        StatusTextTest::SetUp();
        VTUtils::setUserDefaults(defaults_.get());
        ASSERT_TRUE(service_.start()) << "needs a private session bus (dbus-run-session)";
        // Made once the test's defaults are in place: it registers its default there.
        notifier_ = std::make_unique<VTStatusNotifier>(&state_, &notices_);
        notifier_->setClock([this] { return now_; });
    }
    void TearDown() override {
        StatusTextTest::TearDown();
        VTUtils::setUserDefaults(nullptr);
    }

    void connectAndApply(const char* overlay = "{}") {
        state_.setIsConnected(true);
        apply(overlay);
    }
    void at(qint64 seconds) { now_ = kStart + seconds * 1000; }
    void atMs(qint64 milliseconds) { now_ = kStart + milliseconds; }
    // The summaries of the notices the service received since the last call, one per line. A
    // last notice sent straight through the same connection comes after every one sent before.
    std::string told() {
        notices_.showNotice({kBarrier, QString(), QString()});
        if (!vttest::waitFor([&] { return service_.summaries().mid(seen_).contains(kBarrier); })) {
            return "(the barrier never arrived)";
        }
        QStringList summaries = service_.summaries().mid(seen_);
        seen_ = service_.notices().size();
        summaries.removeAll(kBarrier);
        return summaries.join('\n').toStdString();
    }
    QString lastBody() const {
        for (auto notice = service_.notices().crbegin(); notice != service_.notices().crend();
             ++notice) {
            if (notice->summary != kBarrier) {
                return notice->body;
            }
        }
        return QString();
    }

    static constexpr qint64 kStart = StatusTextFixtures::kNow * 1000;
    qint64 now_ = kStart;
    FakeNotificationService service_{{"body"}};
    VTDesktopNotifications notices_{QDBusConnection::sessionBus()};
    std::unique_ptr<VTStatusNotifier> notifier_;
    qsizetype seen_ = 0;
};

constexpr const char* kAtticOutOfSpace = R"({"OutboundStats": {"d2002": {"outOfSpace": true}}})";
// Also the keys the base account leaves out: a document without them changes nothing.
constexpr const char* kHealthy =
    R"({"OutboundStats": {"d2001": {"connected": true}, "d2002": {"outOfSpace": false}}})";
constexpr const char* kCloudOffline = R"({"OutboundStats": {"d2001": {"connected": false}}})";

TEST_F(StatusNotifierTest, EachTransitionIsToldOnceAndNothingDuringTheMutedMinute) {
    const std::string attic = "Backups to Attic need attention";
    notifier_->start();
    EXPECT_EQ(told(), "");

    // Out of space during the muted minute: told when the minute is over, once.
    at(30);
    connectAndApply(kAtticOutOfSpace);
    at(59);
    apply(kAtticOutOfSpace);
    EXPECT_EQ(told(), "");
    at(60);
    notifier_->evaluate();
    EXPECT_EQ(told(), attic);
    EXPECT_EQ(lastBody(), "Out of space at destination");
    at(90);
    apply(kAtticOutOfSpace);
    EXPECT_EQ(told(), "");

    // Offline: told after more than an hour of it.
    at(100);
    apply(kCloudOffline);
    atMs(100 * 1000 + VTStatusNotifier::kOfflineMs);
    notifier_->evaluate();
    EXPECT_EQ(told(), "");
    atMs(100 * 1000 + VTStatusNotifier::kOfflineMs + 1);
    notifier_->evaluate();
    EXPECT_EQ(told(), "Cloud has been offline for over an hour");
    apply(kCloudOffline);
    EXPECT_EQ(told(), "");

    // Back to health and severe again is a new transition; a refused destination is severe.
    at(4000);
    apply(kHealthy);
    apply(kAtticOutOfSpace);
    apply(R"({"OutboundStats": {"d2001": {"connected": false, "disconnectedCode": "NOT_AUTHORIZED"},
                                "d2002": {"outOfSpace": true}}})");
    EXPECT_EQ(told(), attic + "\nBackups to Cloud need attention");

    // The service away for more than five minutes.
    at(5000);
    state_.setIsConnected(false);
    at(5000 + 300);
    notifier_->evaluate();
    EXPECT_EQ(told(), "");
    atMs((5000 + 300) * 1000 + 1);
    notifier_->evaluate();
    at(6000);
    notifier_->evaluate();
    EXPECT_EQ(told(), "Backup service not reachable");

    // Back, then a wake: a muted minute again.
    at(7000);
    connectAndApply(kHealthy);
    notifier_->didWake();
    at(7010);
    apply(kAtticOutOfSpace);
    EXPECT_EQ(told(), "");
    at(7060);
    notifier_->evaluate();
    EXPECT_EQ(told(), attic);
}

TEST_F(StatusNotifierTest, NoticesTurnedOffTellNothingThenOrAfterwards) {
    notifier_->start();
    at(100);
    connectAndApply();
    defaults_.get()->setObject("NO", VTStatusNotifier::kShowNotificationsKey);
    apply(kAtticOutOfSpace);
    EXPECT_EQ(told(), "");
    // Turned on again while the destination is still out of space: nothing stale is told.
    defaults_.get()->setObject("YES", VTStatusNotifier::kShowNotificationsKey);
    apply(kAtticOutOfSpace);
    EXPECT_EQ(told(), "");
    apply(kHealthy);
    apply(kAtticOutOfSpace);
    EXPECT_EQ(told(), "Backups to Attic need attention");
}

}  // namespace
