// Applying the service's documents to a warm state for a large account (100 destinations with
// statistics for 20 sets each, 100 sources), against parsing the same text with
// QJsonDocument::fromJson alone, plus the heap the state holds for that account; and the
// statistics of an account shaped like the simulator's (2 sets per destination, ~160 KB).
#include <malloc.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "messaging/AppStateMessage.h"
#include "messaging/StatsMessage.h"
#include "model/VTVaultorState.h"
#include "platform/VTUserDefaults.h"

namespace {

constexpr int kDestinations = 100;
constexpr int kSets = 20;
constexpr int kSimulatorSets = 2;
constexpr int kSources = 100;
constexpr int kRounds = 30;

QJsonObject setStats(int setID, int round) {
    return QJsonObject{
        {"setId", setID},
        {"status", round % 3 == 0 ? "SAFE" : "WARNING"},
        {"completedRatio", 0.001 * ((setID * 37 + round) % 1000)},
        {"numFilesScanned", 1000 + setID},
        {"numBytesScanned", 1000000 + setID * 10},
        {"numRemainingFiles", (setID + round) % 50},
        {"numRemainingBytes", ((setID + round) % 50) * 4096},
        {"estimatedTimeRemainingInSec", (setID + round) % 600},
        {"lastCompletedBackupTime", 1700000000000LL + setID},
        {"lastBackupTime", 1700000000000LL + round},
        {"nextBackupTime", 1700003600000LL + setID},
        {"paused", false},
        {"resumeTime", 0},
        {"withinSchedule", true},
        {"selectedForBackup", true},
        {"scheduledTime", "always"},
        {"scanning", round % 2 == 0},
        {"analyzingFileTodo",
         QJsonObject{{"completionRatio", 0.5}, {"file", "/home/u/a.txt"}, {"doneAnalyzing", true}}},
        {"sendingFileTodo",
         QJsonObject{{"completionRatio", 0.25}, {"file", "/home/u/b.txt"}, {"doneSending", false}}},
    };
}

QJsonObject statsDocument(int round, int sets = kSets) {
    QJsonObject outbound;
    for (int d = 0; d < kDestinations; ++d) {
        const qint64 guid = 2000000000000LL + d;
        QJsonObject destination{{"guid", guid},
                                {"connected", true},
                                {"backupReady", true},
                                {"backingUp", d % 4 == 0},
                                {"outOfSpace", false},
                                {"remoteArchiveSize", 1 << 30},
                                {"sendRateInBytesPerSec", 1 << 20}};
        for (int s = 1; s <= sets; ++s) {
            destination.insert(QString::number(s), setStats(s, round + d));
        }
        outbound.insert(QStringLiteral("d%1").arg(d), destination);
    }
    QJsonObject inbound;
    for (int s = 0; s < kSources; ++s) {
        inbound.insert(QStringLiteral("s%1").arg(s),
                       QJsonObject{{"guid", 3000000000000LL + s},
                                   {"connected", true},
                                   {"backingUp", s % 5 == 0},
                                   {"completedRatio", 0.01 * ((s + round) % 100)},
                                   {"archiveSize", 1 << 28},
                                   {"receiveRateInBytesPerSec", 1 << 18}});
    }
    return QJsonObject{{"backupStatus", "SAFE"},
                       {"resumeSystemTime", 0},
                       {"OutboundStats", outbound},
                       {"InboundStats", inbound},
                       {"RestoreStats", QJsonObject{}}};
}

QJsonObject appStateDocument(int round) {
    QJsonObject document = statsDocument(round);
    QJsonObject sets;
    QJsonArray destinationGUIDs;
    for (int d = 0; d < kDestinations; ++d) {
        destinationGUIDs.append(2000000000000LL + d);
    }
    for (int s = 1; s <= kSets; ++s) {
        sets.insert(QStringLiteral("set%1").arg(s),
                    QJsonObject{{"id", s},
                                {"name", QStringLiteral("Set %1").arg(s)},
                                {"priority", s},
                                {"isPathSetEmpty", false},
                                {"destinations", destinationGUIDs}});
    }
    QJsonObject computers{{"self", QJsonObject{{"guid", 1000}, {"self", true}, {"name", "Me"}}}};
    const auto computer = [](qint64 guid, bool target) {
        return QJsonObject{
            {"guid", guid},          {"name", QStringLiteral("Computer %1").arg(guid)},
            {"target", target},      {"source", !target},
            {"self", false},         {"own", true},
            {"address", "10.0.0.1"}, {"port", 4242},
            {"backupCode", "ABCD"},  {"dataKeyChecksumHex", "9f3a"}};
    };
    for (int d = 0; d < kDestinations; ++d) {
        computers.insert(QStringLiteral("d%1").arg(d), computer(2000000000000LL + d, true));
    }
    for (int s = 0; s < kSources; ++s) {
        computers.insert(QStringLiteral("s%1").arg(s), computer(3000000000000LL + s, false));
    }
    document.insert("sets", sets);
    document.insert("computers", computers);
    document.insert("alert", false);
    document.insert("os", "linux");
    document.insert("versionName", "4.2.1");
    return document;
}

QByteArray text(const QJsonObject& document) {
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

template <typename M>
std::unique_ptr<M> received(const QByteArray& payload) {
    auto msg = std::make_unique<M>();
    msg->initWithData(payload);
    return msg;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median milliseconds of body over the rounds; round r gets payload r % 2.
template <typename Body>
double measure(const QByteArray (&payloads)[2], Body body) {
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        body(payloads[round % 2]);
        times.push_back(timer.nsecsElapsed() / 1e6);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return median(times);
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    VTUserDefaults defaults(folder.filePath(QStringLiteral("defaults.ini")));

    const QByteArray appStates[2] = {text(appStateDocument(0)), text(appStateDocument(1))};
    const QByteArray stats[2] = {text(statsDocument(2)), text(statsDocument(3))};
    const QByteArray smallStats[2] = {text(statsDocument(2, kSimulatorSets)),
                                      text(statsDocument(3, kSimulatorSets))};

    const size_t heapBefore = heapInUse();
    auto* state = new VTVaultorState(&defaults);
    { received<AppStateMessage>(appStates[0])->applyTo(*state); }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const double stateMB = (heapInUse() - heapBefore) / (1024.0 * 1024.0);

    const double parseAppState = measure(appStates, [](const QByteArray& payload) {
        volatile bool ok = QJsonDocument::fromJson(payload).isObject();
        (void)ok;
    });
    const double applyAppState = measure(appStates, [state](const QByteArray& payload) {
        received<AppStateMessage>(payload)->applyTo(*state);
    });
    const double parseStats = measure(stats, [](const QByteArray& payload) {
        volatile bool ok = QJsonDocument::fromJson(payload).isObject();
        (void)ok;
    });
    const double applyStats = measure(stats, [state](const QByteArray& payload) {
        received<StatsMessage>(payload)->applyTo(*state);
    });

    const double parseSmallStats = measure(smallStats, [](const QByteArray& payload) {
        volatile bool ok = QJsonDocument::fromJson(payload).isObject();
        (void)ok;
    });
    const double applySmallStats = measure(smallStats, [state](const QByteArray& payload) {
        received<StatsMessage>(payload)->applyTo(*state);
    });

    std::printf(
        "account: %d destinations x %d sets, %d sources; app-state %.0f KB, stats %.0f KB\n",
        kDestinations, kSets, kSources, appStates[0].size() / 1024.0, stats[0].size() / 1024.0);
    std::printf("peer QJsonDocument::fromJson, app-state text: %8.2f ms\n", parseAppState);
    std::printf(
        "apply AppStateMessage (parse + update):       %8.2f ms  ratio %.2fx (target <= 2x)\n",
        applyAppState, applyAppState / parseAppState);
    std::printf("peer QJsonDocument::fromJson, stats text:     %8.2f ms\n", parseStats);
    std::printf(
        "apply StatsMessage (parse + update):          %8.2f ms  ratio %.2fx (target <= 1.5x)\n",
        applyStats, applyStats / parseStats);
    std::printf("heap held by the state for the account:       %8.2f MB (target < 20 MB)\n",
                stateMB);
    std::printf("simulator-shaped stats, %d sets each, %.0f KB:\n", kSimulatorSets,
                smallStats[0].size() / 1024.0);
    std::printf("peer QJsonDocument::fromJson, stats text:     %8.2f ms\n", parseSmallStats);
    std::printf(
        "apply StatsMessage (parse + update):          %8.2f ms  ratio %.2fx (target <= 1.5x)\n",
        applySmallStats, applySmallStats / parseSmallStats);
    delete state;
    return 0;
}
