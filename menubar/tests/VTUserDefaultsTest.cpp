// User defaults: registered fallbacks under the user's stored values, and per-key changes.
#include <gtest/gtest.h>

#include <QSettings>
#include <QSignalSpy>

#include "platform/VTUserDefaults.h"
#include "tests/ModelTestSupport.h"

using namespace ModelTestSupport;

TEST(VTUserDefaults, StoredValuesOverrideRegisteredOnes) {
    TemporaryUserDefaults store;
    VTUserDefaults* defaults = store.get();
    EXPECT_FALSE(defaults->objectForKey(QStringLiteral("LaunchOnLogin")).isValid());
    EXPECT_FALSE(defaults->boolForKey(QStringLiteral("LaunchOnLogin")));
    EXPECT_TRUE(defaults->stringForKey(QStringLiteral("LaunchOnLogin")).isNull());

    defaults->registerDefaults(
        {{QStringLiteral("LaunchOnLogin"), true},
         {QStringLiteral("VTDefaultsKeyIconThemeName"), QStringLiteral("dots")}});
    EXPECT_TRUE(defaults->boolForKey(QStringLiteral("LaunchOnLogin")));
    EXPECT_EQ(defaults->stringForKey(QStringLiteral("VTDefaultsKeyIconThemeName")),
              QStringLiteral("dots"));

    defaults->setObject(false, QStringLiteral("LaunchOnLogin"));
    EXPECT_FALSE(defaults->boolForKey(QStringLiteral("LaunchOnLogin")));
    defaults->registerDefaults({{QStringLiteral("LaunchOnLogin"), true}});
    EXPECT_FALSE(defaults->boolForKey(QStringLiteral("LaunchOnLogin")));

    defaults->removeObjectForKey(QStringLiteral("LaunchOnLogin"));
    EXPECT_TRUE(defaults->boolForKey(QStringLiteral("LaunchOnLogin")));
}

TEST(VTUserDefaults, OnlyStoredValuesReachTheFile) {
    TemporaryUserDefaults store;
    store.get()->registerDefaults({{QStringLiteral("hide_details_dest_5"), true}});
    store.get()->setObject(QStringLiteral("colors"), QStringLiteral("VTDefaultsKeyIconThemeName"));

    VTUserDefaults reopened(store.filePath());
    EXPECT_EQ(reopened.stringForKey(QStringLiteral("VTDefaultsKeyIconThemeName")),
              QStringLiteral("colors"));
    EXPECT_FALSE(reopened.objectForKey(QStringLiteral("hide_details_dest_5")).isValid());
    QSettings file(store.filePath(), QSettings::IniFormat);
    EXPECT_FALSE(file.contains(QStringLiteral("hide_details_dest_5")));
}

TEST(VTUserDefaults, ChangesAreAnnouncedPerKey) {
    TemporaryUserDefaults store;
    VTUserDefaults* defaults = store.get();
    QSignalSpy changes(defaults, &VTUserDefaults::valueChanged);
    defaults->registerDefaults({{QStringLiteral("a"), true}});
    defaults->registerDefaults({{QStringLiteral("a"), true}});  // same value: no change
    defaults->setObject(true, QStringLiteral("b"));
    defaults->setObject(true, QStringLiteral("b"));  // same value: no change
    defaults->setObject(false, QStringLiteral("a"));
    defaults->registerDefaults({{QStringLiteral("a"), false}});  // hidden by the stored value
    defaults->removeObjectForKey(QStringLiteral("missing"));
    ASSERT_EQ(changes.count(), 3);
    EXPECT_EQ(changes[0][0].toString(), QStringLiteral("a"));
    EXPECT_EQ(changes[1][0].toString(), QStringLiteral("b"));
    EXPECT_EQ(changes[2][0].toString(), QStringLiteral("a"));
}
