// The model's foundations: exact decimals, identity and hashing, lenient readings of service
// values, dictionary updates and property observation.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QLocale>
#include <QSignalSpy>
#include <QVariantList>
#include <functional>
#include <memory>
#include <thread>

#include "model/VTBackupSet.h"
#include "model/VTBackupSetStats.h"
#include "model/VTBadHashException.h"
#include "model/VTComputer.h"
#include "model/VTDecimal.h"
#include "model/VTDestination.h"
#include "model/VTModelUtils.h"
#include "model/VTSelfObserverAction.h"
#include "model/VTSource.h"
#include "model/VTUniqueSet.h"
#include "tests/ModelTestSupport.h"

using namespace ModelTestSupport;

TEST(ModelDecimal, DoublesEnterThroughTheirShortestText) {
    EXPECT_EQ(VTDecimal::fromDouble(0.999) * VTDecimal(100), *VTDecimal::fromString("99.9"));
    EXPECT_EQ(VTDecimal::fromDouble(1.0) * VTDecimal(100), VTDecimal(100));
    EXPECT_EQ(VTDecimal::fromDouble(0.1) + VTDecimal::fromDouble(0.2),
              *VTDecimal::fromString("0.3"));
    EXPECT_EQ(VTDecimal::fromDouble(1e-7), *VTDecimal::fromString("0.0000001"));
    EXPECT_EQ(VTDecimal::fromDouble(-2.5), *VTDecimal::fromString("-2.5"));
    EXPECT_EQ(VTDecimal::fromDouble(std::numeric_limits<double>::quiet_NaN()), VTDecimal());
    EXPECT_DOUBLE_EQ(VTDecimal::fromDouble(0.75).toDouble(), 0.75);
    EXPECT_EQ(VTDecimal::fromDouble(0.75).toString(), QStringLiteral("0.75"));
}

TEST(ModelDecimal, ADoubleGivesTheDecimalOfQtsShortestTextBitForBit) {
    // The double is read without making Qt's text of it; the result must be the very decimal
    // (the same encoding, not only the same value) that reading that text gives.
    QList<double> values{0.0,     -0.0,  1.0,     0.5,
                         0.1,     0.25,  0.999,   1e-7,
                         1.5e-7,  100.0, 1e20,    1e21,
                         123.456, -2.5,  1e-300,  5e-324,
                         1e300,   0.3,   2.0 / 3, 9007199254740993.0,
                         1e-5,    1e-4,  0.001,   123456789012345678.0};
    for (int i = 0; i <= 2000; ++i) {
        values << 0.001 * i << i / 7.0 << -i * 1.25e-3;
    }
    for (const double value : values) {
        const VTDecimal fromText =
            *VTDecimal::fromString(QString::number(value, 'g', QLocale::FloatingPointShortest));
        EXPECT_TRUE(VTDecimal::fromDouble(value).isIdenticalTo(fromText))
            << QString::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
    }
    // Trailing zeros and zero itself take the representation a division gives them.
    EXPECT_TRUE(VTDecimal::fromString(QStringLiteral("0.50"))
                    ->isIdenticalTo(*VTDecimal::fromString(QStringLiteral("0.5"))));
    EXPECT_TRUE(VTDecimal::fromString(QStringLiteral("0.000"))->isIdenticalTo(VTDecimal(0)));
    EXPECT_TRUE(VTDecimal::fromString(QStringLiteral("100.0"))->isIdenticalTo(VTDecimal(100)));
}

TEST(ModelDecimal, TextThatIsNoNumberIsRefused) {
    EXPECT_FALSE(VTDecimal::fromString(QString()));
    EXPECT_FALSE(VTDecimal::fromString(QStringLiteral("abc")));
    EXPECT_FALSE(VTDecimal::fromString(QStringLiteral("1.5x")));
    EXPECT_FALSE(VTDecimal::fromString(QStringLiteral("1e99999")));
    EXPECT_EQ(*VTDecimal::fromString(QStringLiteral("15e-1")), *VTDecimal::fromString("1.5"));
}

TEST(ModelUnique, HashKeepsUidsUpTo100000AndDividesLargerOnes) {
    VTComputer atLimit(100000);
    EXPECT_EQ(atLimit.hash(), 100001u * 7);
    VTComputer aboveLimit(100001);
    EXPECT_EQ(aboveLimit.hash(), 101u * 7);
    VTDestination destination(100001);
    EXPECT_EQ(destination.hash(), 101u * 11);
    VTSource source(5);
    EXPECT_EQ(source.hash(), 6u * 29);
    EXPECT_EQ(source.stats()->hash(), 6u * 17);
    EXPECT_EQ(destination.stats()->hash(), 101u * 19);
    VTBackupSetStats setStats(3);
    EXPECT_EQ(setStats.hash(), 4u * 37);
    VTBackupSet set(3, QStringLiteral("Docs"), 1);
    EXPECT_EQ(set.hash(), 4u * 13);
}

TEST(ModelUnique, HashingWithoutIdentityFailsOnPurpose) {
    VTComputer noGUID(0);
    EXPECT_THROW(noGUID.hash(), VTBadHashException);
    // A GUID whose low 32 bits are zero is a real identity and hashes normally.
    VTComputer largeGUID(Q_INT64_C(4294967296));
    EXPECT_EQ(largeGUID.hash(), (4294967u + 1) * 7);
    try {
        noGUID.hash();
    } catch (const VTBadHashException& exception) {
        EXPECT_STREQ(VTBadHashException::name(), "BadHashException");
        EXPECT_NE(std::string(exception.what()).find("UID or prime_ not set"), std::string::npos);
    }
}

TEST(ModelUnique, EqualityFollowsClassAndIdentity) {
    VTComputer computer(42);
    VTSource source(42);
    VTSource sameSource(42);
    VTDestination destination(42);
    EXPECT_TRUE(source.isEqual(&sameSource));
    EXPECT_TRUE(computer.isEqual(&source));  // a subclass member with the same GUID
    EXPECT_FALSE(source.isEqual(&computer));
    EXPECT_FALSE(source.isEqual(&destination));
    EXPECT_FALSE(source.isEqual(nullptr));

    VTUniqueSet<VTComputer> set;
    EXPECT_TRUE(set.insert(&source));
    EXPECT_FALSE(set.insert(&sameSource));
    EXPECT_TRUE(set.insert(&destination));
    EXPECT_EQ(set.size(), 2);
    EXPECT_EQ(set.remove(&sameSource), &source);
    EXPECT_EQ(set.itemMatching([](VTComputer* c) { return c->GUID() == 42; }), &destination);
    VTUniqueSet<VTComputer> empty;
    EXPECT_EQ(empty.itemMatching([](VTComputer*) { return true; }), nullptr);
}

TEST(ModelUnique, SelfObserverActionsHaveTheirOwnIdentity) {
    VTSelfObserverAction action(QStringLiteral("lastUpdated"), QStringLiteral("recalc"));
    VTSelfObserverAction same(QStringLiteral("lastUpdated"), QStringLiteral("recalc"));
    VTSelfObserverAction other(QStringLiteral("lastUpdated"), QStringLiteral("other"));
    EXPECT_EQ(action.prime(), 41u);
    EXPECT_TRUE(action.isEqual(&same));
    EXPECT_EQ(
        action.description(),
        QStringLiteral("VTSelfObserverAction: I run recalc when property lastUpdated changes"));
    EXPECT_FALSE(action.isEqual(&other));
}

TEST(ModelUtils, TruthyReadsValuesByKind) {
    EXPECT_FALSE(VTModelUtils::truthy(QVariantList()));
    EXPECT_TRUE(VTModelUtils::truthy(QVariantList{1}));
    EXPECT_TRUE(VTModelUtils::truthy(QStringLiteral("false")));
    EXPECT_TRUE(VTModelUtils::truthy(QStringLiteral("0")));
    EXPECT_FALSE(VTModelUtils::truthy(QString()));
    EXPECT_FALSE(VTModelUtils::truthy(0));
    EXPECT_TRUE(VTModelUtils::truthy(0.5));
    EXPECT_FALSE(VTModelUtils::truthy(QJsonValue(QJsonValue::Null).toVariant()));
    EXPECT_FALSE(VTModelUtils::truthy(QVariant()));
    EXPECT_TRUE(VTModelUtils::truthy(true));
}

TEST(ModelUtils, ServiceTextsAndTimes) {
    EXPECT_TRUE(VTModelUtils::BOOLfromJSONBooleanString(QStringLiteral("TRUE")));
    EXPECT_FALSE(VTModelUtils::BOOLfromJSONBooleanString(QStringLiteral("false")));
    EXPECT_FALSE(VTModelUtils::BOOLfromJSONBooleanString(QStringLiteral("yes")));
    EXPECT_EQ(VTModelUtils::timeInMillisToDate(1500).toMSecsSinceEpoch(), 1500);
    EXPECT_EQ(VTModelUtils::timeInMillisToDate(1500).timeSpec(), Qt::UTC);
    EXPECT_EQ(VTModelUtils::stringToBackupStatus(QStringLiteral("SEVERE")), VTBackupStatusSevere);
    EXPECT_EQ(VTModelUtils::stringToBackupStatus(QStringLiteral("WARNING")), VTBackupStatusWarning);
    EXPECT_EQ(VTModelUtils::stringToBackupStatus(QStringLiteral("SAFE")), VTBackupStatusSafe);
    EXPECT_EQ(VTModelUtils::stringToBackupStatus(QStringLiteral("safe")), VTBackupStatusUnknown);
    EXPECT_EQ(VTModelUtils::stringToBackupStatus(QString()), VTBackupStatusUnknown);
    EXPECT_EQ(VTModelUtils::inSeconds(1999), 1);
    EXPECT_EQ(VTModelUtils::inSeconds(-1999), -1);
    EXPECT_EQ(VTModelUtils::int64Value(QStringLiteral("  -42abc")), -42);
    EXPECT_EQ(VTModelUtils::int64Value(QStringLiteral("x1")), 0);
}

TEST(ModelUtils, DetailsKeyNamesTheComputerKind) {
    VTSource source(7);
    VTDestination destination(-9);
    VTComputer other(8);
    EXPECT_EQ(VTModelUtils::defaultsKeyDetailsHiddenForComputer(&source),
              QStringLiteral("hide_details_src_7"));
    EXPECT_EQ(VTModelUtils::defaultsKeyDetailsHiddenForComputer(&destination),
              QStringLiteral("hide_details_dest_-9"));
    EXPECT_TRUE(VTModelUtils::defaultsKeyDetailsHiddenForComputer(&other).isNull());
    EXPECT_TRUE(VTModelUtils::defaultsKeyDetailsHiddenForComputer(nullptr).isNull());
}

TEST(ModelDictUpdatable, CopiesPresentKeysAndReportsMissingOnes) {
    VTComputer computer(1);
    EXPECT_FALSE(computer.updatePropertiesFromDict(QJsonObject()));
    EXPECT_TRUE(computer.name().isNull());

    VTDictUpdatable plain;
    EXPECT_TRUE(plain.updatePropertiesFromDict(QJsonObject()));

    computer.updatePropertiesFromDict(json(R"({"name": "Box", "port": 4242, "blocked": 1,
        "address": "10.0.0.2", "parentGuid": 9007199254740993, "userId": "77"})"));
    EXPECT_EQ(computer.name(), QStringLiteral("Box"));
    EXPECT_EQ(computer.port(), 4242);
    EXPECT_TRUE(computer.isBlocked());
    EXPECT_EQ(computer.host(), QStringLiteral("10.0.0.2"));
    EXPECT_EQ(computer.parentGUID(), Q_INT64_C(9007199254740993));  // exact, not via double
    EXPECT_EQ(computer.userID(), 77);
}

TEST(ModelDictUpdatable, NullAndUnconvertibleValuesLeaveThePropertyAlone) {
    VTComputer computer(1);
    computer.updatePropertiesFromDict(json(R"({"name": "Box", "port": 80})"));
    NotificationCounter names(&computer, "name");
    computer.updatePropertiesFromDict(json(R"({"name": null, "port": {"a": 1}})"));
    EXPECT_EQ(computer.name(), QStringLiteral("Box"));
    EXPECT_EQ(computer.port(), 80);
    EXPECT_EQ(names.count(), 0);
}

TEST(ModelDictUpdatable, SettersAnnounceEvenUnchangedValues) {
    VTComputer computer(1);
    NotificationCounter names(&computer, "name");
    computer.updatePropertiesFromDict(json(R"({"name": "Box"})"));
    computer.updatePropertiesFromDict(json(R"({"name": "Box"})"));
    EXPECT_EQ(names.count(), 2);
    EXPECT_EQ(names.values().last().toString(), QStringLiteral("Box"));
}

// Announcements nobody listens to are skipped, so every way of listening must be noticed, also
// one made after earlier announcements, from another thread, or beside other signals.
TEST(ModelDictUpdatable, EveryWayOfListeningHearsEveryAnnouncement) {
    // Each way answers the number of announcements it heard so far.
    using Listen = std::function<std::function<int()>(VTComputer*)>;
    const QList<std::pair<const char*, Listen>> ways = {
        {"member function",
         [](VTComputer* computer) {
             auto heard = std::make_shared<int>(0);
             QObject::connect(computer, &VTComputer::nameChanged, [heard] { ++*heard; });
             return [heard] { return *heard; };
         }},
        {"property observer",
         [](VTComputer* computer) {
             auto heard = std::make_shared<int>(0);
             auto* observer = new VTPropertyObserver(computer);
             observer->observe(computer, "name",
                               [heard](QObject*, const QByteArray&, const QVariant&) { ++*heard; });
             return [heard] { return *heard; };
         }},
        {"signal spy",
         [](VTComputer* computer) {
             auto spy = std::make_shared<QSignalSpy>(computer, &VTComputer::nameChanged);
             return [spy] { return static_cast<int>(spy->count()); };
         }},
        {"signal spy on the signature",
         [](VTComputer* computer) {
             auto spy = std::make_shared<QSignalSpy>(computer, SIGNAL(nameChanged()));
             return [spy] { return static_cast<int>(spy->count()); };
         }},
        {"from another thread",
         [](VTComputer* computer) {
             auto heard = std::make_shared<int>(0);
             std::thread([computer, heard] {
                 QObject::connect(computer, &VTComputer::nameChanged, [heard] { ++*heard; });
             }).join();
             return [heard] { return *heard; };
         }},
    };
    for (const auto& [way, listen] : ways) {
        VTComputer computer(1);
        int ports = 0;
        QObject::connect(&computer, &VTComputer::portChanged, [&ports] { ++ports; });
        computer.setName(QStringLiteral("unheard"));
        const std::function<int()> heard = listen(&computer);
        computer.setName(QStringLiteral("Box"));
        computer.updatePropertiesFromDict(json(R"({"name": "Box", "port": 1})"));
        EXPECT_EQ(heard(), 2) << way;
        EXPECT_EQ(ports, 1) << way;
        EXPECT_EQ(computer.name(), QStringLiteral("Box")) << way;
    }
}

TEST(ModelObserver, ObservesStopsAndToleratesUnknownRemovals) {
    VTComputer computer(1);
    VTPropertyObserver observer;
    QStringList seen;
    ASSERT_TRUE(observer.observe(&computer, "name",
                                 [&seen](QObject*, const QByteArray& property, const QVariant& v) {
                                     seen << QString::fromLatin1(property) + "=" + v.toString();
                                 }));
    EXPECT_FALSE(observer.observe(&computer, "noSuchProperty", {}));
    EXPECT_FALSE(observer.observe(&computer, "GUID", {}));  // constant: never announces
    computer.setName(QStringLiteral("A"));
    EXPECT_TRUE(observer.stopObserving(&computer, "name"));
    computer.setName(QStringLiteral("B"));
    EXPECT_EQ(seen, QStringList{QStringLiteral("name=A")});
    EXPECT_FALSE(observer.stopObserving(&computer, "name"));
    EXPECT_FALSE(observer.stopObserving(nullptr, nullptr));
}

TEST(ModelObserver, AHandlerMayStopItsOwnObservation) {
    VTComputer computer(1);
    VTPropertyObserver observer;
    int calls = 0;
    observer.observe(&computer, "name",
                     [&](QObject* object, const QByteArray& property, const QVariant&) {
                         ++calls;
                         observer.stopObserving(object, property.constData());
                     });
    computer.setName(QStringLiteral("A"));
    computer.setName(QStringLiteral("B"));
    flushDeferredDeletes();
    EXPECT_EQ(calls, 1);
}

TEST(ModelObserver, AnObservedObjectMayDie) {
    VTPropertyObserver observer;
    int calls = 0;
    {
        VTComputer computer(1);
        observer.observe(&computer, "name",
                         [&](QObject*, const QByteArray&, const QVariant&) { ++calls; });
    }
    VTComputer next(2);
    EXPECT_TRUE(observer.observe(&next, "name",
                                 [&](QObject*, const QByteArray&, const QVariant&) { ++calls; }));
    next.setName(QStringLiteral("x"));
    EXPECT_EQ(calls, 1);
}
