// Statistics documents are read by simdjson; whatever the text, the model must end up exactly
// as it does from QJsonDocument's reading of it: the same values, the same member order, the
// same announcements.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QMetaProperty>
#include <bit>
#include <cmath>
#include <limits>

#include "messaging/AppStateMessage.h"
#include "messaging/StatsMessage.h"
#include "messaging/VTStringMessage.h"
#include "model/VTBackupSetStats.h"
#include "model/VTDestinationStats.h"
#include "model/VTFileToDoStats.h"
#include "model/VTJSONDocument.h"
#include "model/VTSourceStats.h"
#include "model/VTVaultorState.h"
#include "tests/ModelTestSupport.h"
#include "tests/fixtures/model/ModelFixtures.h"

using namespace ModelTestSupport;

namespace {

// A destination with repeated keys, keys beyond ASCII (whose UTF-16 order differs from their
// UTF-8 order), set IDs as text, null, object or absent, entries that are no dictionaries,
// and numbers at the edges of integer and double reading.
constexpr const char* kTrickyDestination = R"json({
  "guid": 2001, "connected": true, "backupReady": 1, "outOfSpace": null,
  "remoteArchiveSize": 1E2, "sendRateInBytesPerSec": 18446744073709551615,
  "completedRateInBytesPerSec": -0, "maintainingCache": "yes", "disconnectedCode": "\u00e9t\u00e9",
  "10": {"setId": 10, "status": "SAFE", "completedRatio": 1.0, "numFilesScanned": 3,
         "estimatedTimeRemainingInSec": 7, "lastBackupTime": -9223372036854775808},
  "2": {"setId": "2", "status": "WARNING", "completedRatio": 0.25, "scheduledTime": "nights",
        "withinSchedule": false, "nextBackupTime": 9223372036854775807, "scanning": true},
  "\u00e9": {"setId": 5, "completedRatio": 0.5, "status": null, "paused": true},
  "\ud83d\ude00": {"setId": 6, "completedRatio": 0.75, "status": "SEVERE"},
  "\uffff": {"setId": 7, "completedRatio": 0.125, "sendingFileTodo": [1, 2],
             "analyzingFileTodo": {"completionRatio": 1, "file": "/\u00e9", "doneAnalyzing": 0}},
  "1": {"setId": 1, "completedRatio": 0.1},
  "1": {"setId": 1, "completedRatio": 0.9, "resumeTime": 1700000000000},
  "3": 3,
  "4": {"setId": null},
  "8": {"setId": {"x": 1}},
  "9": {"noSetId": true},
  "11": {"setId": 11, "completedRatio": 0.5},
  "11": "no longer a dictionary",
  "guid": 2001
})json";

// A value as text, for comparing and for readable failures.
QString describe(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<VTDecimal>()) {
        return value.value<VTDecimal>().toString();
    }
    if (value.metaType() == QMetaType::fromType<BackupStatsSummary>()) {
        return QStringLiteral("(summary)");  // statistics documents never touch it
    }
    return QString::fromLatin1(value.typeName()) + QLatin1Char(':') + value.toString();
}

// Every property of the object except time stamps, collections and child objects, one line
// each.
std::string properties(const QObject* object) {
    QStringList result;
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QByteArray type = property.typeName();
        if (type.endsWith('*') || type.startsWith("QList<") ||
            qstrcmp(property.name(), "lastUpdated") == 0) {
            continue;
        }
        result.append(QString::fromLatin1(property.name()) + QLatin1Char('=') +
                      describe(property.read(object)));
    }
    return result.join(QLatin1Char('\n')).toStdString();
}

// Every announcement of every observable property of one object, in order, with its value.
class AnnouncementLog {
  public:
    explicit AnnouncementLog(QObject* object) {
        const QMetaObject* meta = object->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (!property.hasNotifySignal() ||
                QByteArray(property.typeName()).startsWith("QList<")) {
                continue;
            }
            observer_.observe(object, property.name(),
                              [this](QObject*, const QByteArray& name, const QVariant& value) {
                                  // Time stamps differ between runs; their order does not.
                                  QString entry = QString::fromLatin1(name);
                                  if (name != "lastUpdated") {
                                      entry += QLatin1Char('=') + describe(value);
                                  }
                                  entries_.append(entry);
                              });
        }
    }
    std::string entries() const { return entries_.join(QLatin1Char('\n')).toStdString(); }

  private:
    VTPropertyObserver observer_;
    QStringList entries_;
};

void expectSameSets(const VTDestinationStats& fast, const VTDestinationStats& reference) {
    ASSERT_EQ(fast.backupSetsStats().size(), reference.backupSetsStats().size());
    for (qsizetype i = 0; i < fast.backupSetsStats().size(); ++i) {
        const VTBackupSetStats* fastSet = fast.backupSetsStats()[i];
        const VTBackupSetStats* referenceSet = reference.backupSetsStats()[i];
        EXPECT_EQ(fastSet->setID(), referenceSet->setID());
        EXPECT_EQ(properties(fastSet), properties(referenceSet)) << "set " << fastSet->setID();
        EXPECT_EQ(properties(fastSet->analyzingFileToDo()),
                  properties(referenceSet->analyzingFileToDo()));
        EXPECT_EQ(properties(fastSet->sendingFileToDo()),
                  properties(referenceSet->sendingFileToDo()));
    }
}

// A statistics message read the way every message was read before simdjson.
class QtReadStatsMessage : public StatsMessage {
  public:
    VTJSONObject dictForReading() override { return dict(); }
};

// An app-state message read the way every message was read before simdjson.
class QtReadAppStateMessage : public AppStateMessage {
  public:
    VTJSONObject dictForReading() override { return dict(); }
};

// Every property of the state, of each computer's statistics and of each set's statistics.
std::string stateSnapshot(const VTVaultorState& state) {
    std::string snapshot = properties(&state);
    for (const VTDestination* destination : state.destinations()) {
        snapshot += "\n--\n" + properties(destination->stats());
        for (const VTBackupSetStats* set : destination->stats()->backupSetsStats()) {
            snapshot += "\n--\n" + properties(set);
        }
    }
    for (const VTSource* source : state.sources()) {
        snapshot += "\n--\n" + properties(source->stats());
    }
    return snapshot;
}

QByteArray text(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

}  // namespace

TEST(ModelJSONReading, ValuesReadAsQJsonDocumentReadsThem) {
    const QByteArray document = R"({"int": 1, "fraction": 1.0, "exponent": 1E2, "minusZero": -0,
        "unsigned": 18446744073709551615, "lowest": -9223372036854775808, "text": "a\u0000b",
        "yes": true, "nothing": null, "list": [1, {"a": 2}], "dict": {"b": [3]},
        "twice": 1, "twice": "second", "largest": 9223372036854775807, "half": -2.5,
        "twoTo63": 9223372036854775808.0, "huge": 1e300, "tiny": -1e-300})";
    const auto fast = VTJSONDocument::parseObject(document);
    ASSERT_TRUE(fast);
    const QJsonObject reference = QJsonDocument::fromJson(document).object();
    for (const QString& key : reference.keys()) {
        const QByteArray latin1 = key.toLatin1();
        const QJsonValue value = fast->root().value(QLatin1StringView(latin1));
        EXPECT_EQ(value, reference.value(key)) << qPrintable(key);
        EXPECT_EQ(value.toVariant().typeId(), reference.value(key).toVariant().typeId())
            << qPrintable(key);
        EXPECT_TRUE(fast->root().contains(QLatin1StringView(latin1)));
        // The setters' reading: the same kind, and the same bits of every number.
        const VTJSONScalar fastScalar = fast->root().scalar(QLatin1StringView(latin1));
        const VTJSONScalar qtScalar = VTJSONObject(reference).scalar(QLatin1StringView(latin1));
        EXPECT_EQ(fastScalar.kind, qtScalar.kind) << qPrintable(key);
        EXPECT_EQ(fastScalar.boolean, qtScalar.boolean) << qPrintable(key);
        EXPECT_EQ(std::bit_cast<uint64_t>(fastScalar.number),
                  std::bit_cast<uint64_t>(qtScalar.number))
            << qPrintable(key);
        EXPECT_EQ(fastScalar.integer, qtScalar.integer) << qPrintable(key);
        EXPECT_EQ(fastScalar.text, qtScalar.text) << qPrintable(key);
    }
    EXPECT_EQ(fast->root().scalar(QLatin1StringView("absent")).kind, VTJSONScalar::Kind::Absent);
    EXPECT_TRUE(fast->root().value(QLatin1StringView("absent")).isUndefined());
    EXPECT_FALSE(fast->root().contains(QLatin1StringView("absent")));
    EXPECT_FALSE(fast->root().object(QLatin1StringView("list")));
    ASSERT_TRUE(fast->root().object(QLatin1StringView("dict")));
}

TEST(ModelJSONReading, DictionariesComeInQJsonObjectsOrderOnceEach) {
    const QByteArray document = R"({"b": {"n": 1}, "\uffff": {"n": 2}, "a": 5,
        "\ud83d\ude00": {"n": 3}, "\u00e9": {"n": 4}, "B": {"n": 5}, "b": {"n": 6},
        "c": {"n": 7}, "c": 8, "d": 9, "d": {"n": 10}})";
    const auto fast = VTJSONDocument::parseObject(document);
    ASSERT_TRUE(fast);
    const auto numbers = [](const QList<VTJSONObject>& objects) {
        QList<qint64> result;
        for (const VTJSONObject& object : objects) {
            result.append(object.value(QLatin1StringView("n")).toInteger());
        }
        return result;
    };
    const QList<qint64> expected =
        numbers(VTJSONObject(QJsonDocument::fromJson(document).object()).objects());
    EXPECT_EQ(expected, (QList<qint64>{5, 6, 10, 4, 3, 2}));
    EXPECT_EQ(numbers(fast->root().objects()), expected);
}

// Reads fast by every key of reference, descending into dictionaries, and reports the first
// difference (empty when none).
QString firstDifference(const VTJSONObject& fast, const QJsonObject& reference,
                        const QString& path = QStringLiteral("/")) {
    if (fast.objects().size() != VTJSONObject(reference).objects().size()) {
        return path + QStringLiteral(": another number of dictionaries");
    }
    for (auto member = reference.begin(); member != reference.end(); ++member) {
        const QByteArray key = member.key().toUtf8();
        const QLatin1StringView latin1(key);
        if (!member->isObject()) {
            if (fast.value(latin1) != member.value()) {
                return path + member.key();
            }
            continue;
        }
        const std::optional<VTJSONObject> nested = fast.object(latin1);
        if (!nested) {
            return path + member.key() + QStringLiteral(": no dictionary");
        }
        const QString difference =
            firstDifference(*nested, member->toObject(), path + member.key() + u'/');
        if (!difference.isEmpty()) {
            return difference;
        }
    }
    return QString();
}

TEST(ModelJSONReading, NestedDictionariesReadAsQJsonDocumentReadsThem) {
    // Nested as deep as the reader allows, from the outermost inwards and back out.
    QByteArray deep = "{\"v\": 0";
    for (int level = 1; level <= 1000; ++level) {
        deep += ", \"d\": {\"v\": " + QByteArray::number(level);
    }
    deep += QByteArray(1001, '}');
    const QList<QByteArray> documents = {
        deep,
        // A repeated key whose values are both dictionaries: the later one, with its own
        // dictionaries, counts.
        R"({"a": {"x": 1, "in": {"y": 1}}, "b": {}, "a": {"x": 2, "in": {"y": 2, "z": {}}}})",
        // Siblings each with their own dictionaries, an empty one, and one inside a list.
        R"({"s": {"p": {"n": 1}, "q": {"n": 2}}, "t": {"p": {"n": 3}}, "e": {},
            "l": [{"n": 4}, {"in": {"n": 5}}], "u": {"l": [{}], "w": {"n": 6}}})",
    };
    for (const QByteArray& document : documents) {
        const auto fast = VTJSONDocument::parseObject(document);
        ASSERT_TRUE(fast) << document.left(80).constData();
        const QJsonObject reference = QJsonDocument::fromJson(document).object();
        ASSERT_FALSE(reference.isEmpty());
        EXPECT_EQ(firstDifference(fast->root(), reference), QString())
            << document.left(80).constData();
    }
}

TEST(ModelJSONReading, TextsSimdjsonRefusesAreLeftToQJsonDocument) {
    EXPECT_FALSE(VTJSONDocument::parseObject(R"({"a": "\ud800"})"));
    EXPECT_FALSE(VTJSONDocument::parseObject("{\"a\": \"\x01\"}"));
    EXPECT_FALSE(VTJSONDocument::parseObject(R"({"a": 18446744073709551616})"));
    EXPECT_FALSE(VTJSONDocument::parseObject(R"([1, 2])"));
    EXPECT_FALSE(VTJSONDocument::parseObject(R"({"a": 1,})"));
    EXPECT_FALSE(VTJSONDocument::parseObject(""));
}

TEST(ModelJSONReading, ADestinationEndsAsFromQJsonObject) {
    const QByteArray document = kTrickyDestination;
    const auto fastDocument = VTJSONDocument::parseObject(document);
    ASSERT_TRUE(fastDocument);
    const QJsonObject reference = QJsonDocument::fromJson(document).object();
    ASSERT_FALSE(reference.isEmpty());

    VTDestinationStats fast(2001);
    VTDestinationStats expected(2001);
    AnnouncementLog fastLog(&fast);
    AnnouncementLog expectedLog(&expected);
    for (int round = 0; round < 2; ++round) {  // creating the sets, then updating them
        fast.updatePropertiesFromDict(fastDocument->root());
        expected.updatePropertiesFromDict(reference);
    }
    EXPECT_EQ(fast.backupSetsStats().size(), 6);
    EXPECT_EQ(properties(&fast), properties(&expected));
    EXPECT_EQ(fastLog.entries(), expectedLog.entries());
    expectSameSets(fast, expected);
    flushDeferredDeletes();
}

TEST(ModelJSONReading, TheStateEndsAsFromQJsonDocument) {
    TemporaryUserDefaults defaults;
    VTVaultorState fast(defaults.get());
    VTVaultorState expected(defaults.get());
    message<AppStateMessage>(ModelFixtures::kAppState)->applyTo(fast);
    message<AppStateMessage>(ModelFixtures::kAppState)->applyTo(expected);

    QJsonObject tricky = QJsonDocument::fromJson(kTrickyDestination).object();
    QJsonObject outbound = QJsonDocument::fromJson(ModelFixtures::kAppState)
                               .object()
                               .value(QStringLiteral("OutboundStats"))
                               .toObject();
    outbound.insert(QStringLiteral("tricky"), tricky);
    const QList<QByteArray> documents{
        ModelFixtures::kAppState,
        ModelFixtures::kStatsOutOfSpace,
        text(QJsonObject{{"backupStatus", "SEVERE"},
                         {"resumeSystemTime", 4102444800000LL},
                         {"OutboundStats", outbound},
                         {"InboundStats", QJsonObject{{"a", QJsonObject{{"guid", 3001},
                                                                        {"completedRatio", 1},
                                                                        {"connected", true},
                                                                        {"backingUp", true}}},
                                                      {"b", 7}}},
                         {"RestoreStats", QJsonObject{{"r", 1}}}}),
        // Refused by simdjson (an unpaired surrogate): read by QJsonDocument on both sides.
        R"({"backupStatus": "SAFE", "OutboundStats": {"d": {"guid": 2001, "connected": false,
            "disconnectedCode": "\ud800"}}})",
        R"({"OutboundStats": [], "InboundStats": null, "backupStatus": 3})",
        "not json",
    };
    for (const QByteArray& document : documents) {
        message<StatsMessage>(document)->applyTo(fast);
        message<QtReadStatsMessage>(document)->applyTo(expected);
        EXPECT_EQ(stateSnapshot(fast), stateSnapshot(expected)) << document.constData();
    }
    flushDeferredDeletes();
}

TEST(ModelJSONReading, TheAppStateEndsAsFromQJsonDocument) {
    TemporaryUserDefaults defaults;
    VTVaultorState fast(defaults.get());
    VTVaultorState expected(defaults.get());
    AnnouncementLog fastLog(&fast);
    AnnouncementLog expectedLog(&expected);
    // Values that are no dictionaries among the sets and computers, identities as text or
    // fractions, repeated keys, texts beyond ASCII, a document that simdjson refuses and one
    // that is no JSON at all, and the account coming back.
    const QList<QByteArray> documents{
        ModelFixtures::kAppState,
        R"({"alert": "yes", "os": "Mac", "versionNumber": "4.2", "locale": "\u00e9t\u00e9",
            "sets": {"a": {"id": "11", "name": 5, "priority": 1.5, "isPathSetEmpty": 1,
                           "destinations": ["2001", 2001.5, null, 5001]},
                     "b": {"id": 0}, "c": 7, "d": {"id": 12, "name": "x"},
                     "d": {"id": 13, "name": "y", "destinations": [2001]}},
            "computers": {"x": {"guid": "2001", "target": true, "name": "n", "port": "12"},
                          "y": {"guid": 5001.0, "source": 1, "target": true},
                          "z": {"guid": null}, "w": "no computer", "v": {"guid": 3001,
                          "source": true, "self": true, "name": "\ud83d\ude00"}},
            "OutboundStats": {"q": {"guid": "2001", "11": {"setId": 11.0, "status": "SAFE"}},
                              "r": {"guid": 5001, "13": {"setId": 13}}, "s": 4},
            "InboundStats": {"v": {"guid": 3001, "completedRatio": 0.5, "connected": true}}})",
        R"({"sets": {"a": {"id": 11}}, "computers": {"x": {"guid": 2001, "target": true,
            "name": "\ud800"}}, "OutboundStats": {"q": {"guid": 2001, "11": {"setId": 11}}}})",
        "not json",
        ModelFixtures::kAppState,
    };
    for (const QByteArray& document : documents) {
        message<AppStateMessage>(document)->applyTo(fast);
        message<QtReadAppStateMessage>(document)->applyTo(expected);
        flushDeferredDeletes();
        EXPECT_EQ(stateSnapshot(fast), stateSnapshot(expected)) << document.constData();
        QStringList fastComputers;
        QStringList expectedComputers;
        for (const VTComputer* computer : fast.allComputers()) {
            fastComputers << QString::fromStdString(properties(computer));
        }
        for (const VTComputer* computer : expected.allComputers()) {
            expectedComputers << QString::fromStdString(properties(computer));
        }
        EXPECT_EQ(fastComputers, expectedComputers) << document.constData();
    }
    EXPECT_EQ(fastLog.entries(), expectedLog.entries());
}

TEST(ModelJSONReading, TheQJsonObjectIsParsedOnlyWhenAskedFor) {
    auto msg = message<StatsMessage>(ModelFixtures::kStatsOutOfSpace);
    EXPECT_EQ(msg->backupStatus(), VTBackupStatusWarning);
    EXPECT_EQ(msg->destinationStats().objects().size(), 1);
    EXPECT_EQ(msg->restoreStats().objects().size(), 1);
    EXPECT_TRUE(msg->sourceStats().objects().isEmpty());
    // The QJsonObject is parsed only when asked for.
    EXPECT_FALSE(msg->VT_processJSON());
    EXPECT_TRUE(msg->VT_processJSON());
}

TEST(ModelJSONReading, AMessageThatIsNotUTF8IsDropped) {
    auto msg = message<StatsMessage>(QByteArray("{\"a\": \"\xff\"}"));
    EXPECT_THROW(msg->dictForReading(), std::runtime_error);
}

TEST(ModelJSONReading, ALeadingByteOrderMarkIsSkippedAsTheTextSkipsIt) {
    const QByteArray plain = ModelFixtures::kStatsOutOfSpace;
    auto msg = message<StatsMessage>("\xEF\xBB\xBF" + plain);
    EXPECT_EQ(msg->contentUtf8(), plain);
    EXPECT_EQ(msg->contentUtf8(), msg->contentString().toUtf8());
    EXPECT_EQ(msg->backupStatus(), VTBackupStatusWarning);
    EXPECT_EQ(msg->destinationStats().objects().size(), 1);
}

TEST(ModelJSONReading, DocumentsAliveTogetherKeepTheirOwnValues) {
    const auto number = [](const std::unique_ptr<VTJSONDocument>& document) {
        return document->root().value(QLatin1StringView("n")).toInteger();
    };
    auto first = VTJSONDocument::parseObject(R"({"n": 1, "pad": "a longer first document"})");
    auto second = VTJSONDocument::parseObject(R"({"n": 2})");
    ASSERT_TRUE(first && second);
    first.reset();  // its buffers go to the next document
    auto third = VTJSONDocument::parseObject(R"({"n": 3})");
    auto fourth = VTJSONDocument::parseObject(R"({"n": 4, "more": [1, 2, 3, 4, 5, 6, 7, 8]})");
    ASSERT_TRUE(third && fourth);
    EXPECT_EQ(number(second), 2);
    EXPECT_EQ(number(third), 3);
    EXPECT_EQ(number(fourth), 4);
    EXPECT_FALSE(VTJSONDocument::parseObject("{broken"));
    EXPECT_EQ(number(third), 3);
}

TEST(ModelJSONReading, PropertiesGetWhatQVariantsConversionGives) {
    // Values are written to properties without a QVariant when no conversion is needed; that
    // must give what QMetaProperty::write of the converted value gives, for every kind of value.
    const QJsonArray values = QJsonDocument::fromJson(R"([1, 2.0, 2.5, -2.5, -0, 1e300, -1e300,
        0.1, 1e19, 9223372036854775807, -9223372036854775808, 9223372036854775808,
        9007199254740993, "7", "text", "", true, false, [1], {"a": 1}])")
                                  .array();
    ASSERT_EQ(values.size(), 20);
    const auto reference = [](QObject* object, const VTKeyTable::Entry& entry,
                              const QJsonValue& value) {
        if (entry.property.metaType() == QMetaType::fromType<VTDecimal>()) {
            if (value.isDouble()) {
                const qint64 whole = value.toInteger(std::numeric_limits<qint64>::min());
                entry.property.write(
                    object, QVariant::fromValue(whole != std::numeric_limits<qint64>::min()
                                                    ? VTDecimal(whole)
                                                    : VTDecimal::fromDouble(value.toDouble())));
            }
            return;
        }
        // Doubles beyond the 64-bit range are held at its ends: QVariant casts them, which is
        // undefined (on x86 every one of them becomes the lowest value).
        if (entry.property.metaType() == QMetaType::fromType<qint64>() && value.isDouble() &&
            std::abs(value.toDouble()) >= 9223372036854775808.0) {
            entry.property.write(object, value.toDouble() > 0 ? std::numeric_limits<qint64>::max()
                                                              : std::numeric_limits<qint64>::min());
            return;
        }
        QVariant converted = value.toVariant();
        if (converted.convert(entry.property.metaType())) {
            entry.property.write(object, converted);
        }
    };
    for (const QJsonValue& value : values) {
        for (const VTKeyTable::Entry& entry : VTBackupSetStats::classKeyTable().entries()) {
            VTBackupSetStats written(1);
            VTBackupSetStats expected(1);
            written.updatePropertiesFromDict(QJsonObject{{entry.key, value}});
            reference(&expected, entry, value);
            EXPECT_EQ(properties(&written), properties(&expected))
                << entry.key.toStdString() << " = " << text(QJsonObject{{"v", value}}).data();
        }
        for (const VTKeyTable::Entry& entry : VTFileToDoStats::classKeyTable().entries()) {
            VTFileToDoStats written;
            VTFileToDoStats expected;
            written.updatePropertiesFromDict(QJsonObject{{entry.key, value}});
            reference(&expected, entry, value);
            EXPECT_EQ(properties(&written), properties(&expected))
                << entry.key.toStdString() << " = " << text(QJsonObject{{"v", value}}).data();
        }
    }
}

TEST(ModelJSONReading, TextWithRoomBehindIsReadInPlaceWhateverFollowsIt) {
    const QByteArray object = R"({"n": 1, "s": "x"})";
    QByteArray text = object + QByteArray(VTJSONDocument::kPadding + 8, '"');
    text.truncate(object.size());  // the quotes stay behind the text, in its buffer
    ASSERT_GE(text.capacity() - text.size(), VTJSONDocument::kPadding);
    const auto document = VTJSONDocument::parseObject(text);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->root().value(QLatin1StringView("n")).toInteger(), 1);
    EXPECT_EQ(document->root().value(QLatin1StringView("s")).toString(), QStringLiteral("x"));
    text.truncate(object.size() - 1);  // no closing brace: refused, not read past the end
    EXPECT_FALSE(VTJSONDocument::parseObject(text));
}

TEST(ModelJSONReading, ReceivedTextIsCheckedAtOnceAndDecodedWhenAskedFor) {
    // The check must refuse exactly what decoding refuses.
    const QList<QByteArray> payloads{
        "plain",        "\xEF\xBB\xBF{}", "caf\xC3\xA9",  "\xF0\x9F\x98\x80",    "\xEF\xBF\xBF",
        "\xC0\xAF",     "\xE0\x80\xAF",   "\xED\xA0\x80", "\xF4\x90\x80\x80",    "\xC3",
        "\xF0\x9F\x98", "\x80",           "\xFF",         QByteArray("a\0b", 3), "",
    };
    for (const QByteArray& payload : payloads) {
        auto msg = message<StatsMessage>(payload);
        const std::optional<QString> decoded = VTStringMessage::decodeUtf8(payload);
        EXPECT_EQ(msg->hasContentString(), decoded.has_value()) << payload.toHex().data();
        EXPECT_EQ(msg->contentString(), decoded.value_or(QString())) << payload.toHex().data();
        if (decoded) {
            EXPECT_EQ(msg->contentUtf8(), decoded->toUtf8()) << payload.toHex().data();
        }
    }
    VTStringMessage original;
    original.initWithData("{\"a\": 1}");
    const VTStringMessage undecoded = original;
    EXPECT_EQ(original.contentString(), QStringLiteral("{\"a\": 1}"));
    const VTStringMessage decoded = original;
    EXPECT_EQ(undecoded.contentString(), decoded.contentString());
    EXPECT_EQ(undecoded.contentUtf8(), QByteArray("{\"a\": 1}"));
}
