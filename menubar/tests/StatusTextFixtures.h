#pragma once

// Documents of the backup service for the status text tests, and a deep merge that lays a
// scenario's few changed values over the healthy base account.
//
// The account: this computer 1000; destinations 2001 and 2002, both backed up to by set 11
// ("Documents") and 2001 also by set 12 ("Photos"); source 3001. The clock of the tests stands
// at kNow; the last backup was two hours before it and the next one is due three hours after.
// Set 12's statistics are only sent by the scenarios that need a second set.
#include <QJsonDocument>
#include <QJsonObject>

namespace StatusTextFixtures {

inline constexpr qint64 kNow = 4000000000;  // seconds since 1970, in the year 2096
inline constexpr qint64 kTwoHoursAgoMs = (kNow - 2 * 3600) * 1000;
inline constexpr qint64 kInOneHourMs = (kNow + 3600) * 1000;
inline constexpr qint64 kInThreeHoursMs = (kNow + 3 * 3600) * 1000;

inline constexpr const char* kAppState = R"json({
  "alert": false,
  "os": "linux",
  "backupStatus": "SAFE",
  "resumeSystemTime": 0,
  "sets": {
    "a": {"id": 11, "name": "Documents", "priority": 1, "isPathSetEmpty": false,
          "destinations": [2001, 2002]},
    "b": {"id": 12, "name": "Photos", "priority": 2, "isPathSetEmpty": false,
          "destinations": [2001]}
  },
  "computers": {
    "c1000": {"guid": 1000, "name": "Workstation", "self": true},
    "c2001": {"guid": 2001, "name": "Cloud", "target": true, "vtc": true},
    "c2002": {"guid": 2002, "name": "Attic", "target": true},
    "c3001": {"guid": 3001, "name": "Laptop", "source": true}
  },
  "OutboundStats": {
    "d2001": {"guid": 2001, "connected": true, "backupReady": true, "backingUp": false,
              "outOfSpace": false, "maintaining": false, "maintainingCache": false,
              "validating": false, "sendRateInBytesPerSec": 0, "completedRateInBytesPerSec": 0,
              "11": {"setId": 11, "status": "SAFE", "completedRatio": 0.5, "numFilesScanned": 10,
                     "numBytesScanned": 3000000, "numRemainingFiles": 4,
                     "numRemainingBytes": 1500000, "estimatedTimeRemainingInSec": 0,
                     "lastBackupTime": 3999992800000, "nextBackupTime": 4000010800000,
                     "paused": false, "resumeTime": 0, "withinSchedule": true,
                     "selectedForBackup": false, "scanning": false, "scheduledTime": "",
                     "analyzingFileTodo": {"file": "", "completionRatio": 0},
                     "sendingFileTodo": {"file": "", "completionRatio": 0}}},
    "d2002": {"guid": 2002, "connected": true, "backupReady": true, "backingUp": false,
              "validating": false,
              "11": {"setId": 11, "status": "SAFE", "completedRatio": 0.5, "numFilesScanned": 10,
                     "lastBackupTime": 3999992800000, "nextBackupTime": 4000010800000,
                     "withinSchedule": true, "selectedForBackup": false}}
  },
  "InboundStats": {
    "s3001": {"guid": 3001, "connected": true, "backupReady": true, "backingUp": false,
              "outOfSpace": false, "maintaining": false, "scanning": false,
              "completedRatio": 0.5, "numBytesScanned": 2000000,
              "lastBackupTime": 3999992800000, "receiveRateInBytesPerSec": 0}
  },
  "RestoreStats": {}
})json";

// The base account with the scenario's values laid over it: objects merge key by key, any other
// value replaces the base's.
inline QJsonObject merged(QJsonObject base, const QJsonObject& overlay) {
    for (auto entry = overlay.constBegin(); entry != overlay.constEnd(); ++entry) {
        const QJsonValue current = base.value(entry.key());
        if (current.isObject() && entry.value().isObject()) {
            base.insert(entry.key(), merged(current.toObject(), entry.value().toObject()));
        } else {
            base.insert(entry.key(), entry.value());
        }
    }
    return base;
}

inline QByteArray appState(const char* overlay = "{}") {
    const QJsonObject base = QJsonDocument::fromJson(kAppState).object();
    const QJsonObject changes = QJsonDocument::fromJson(overlay).object();
    return QJsonDocument(merged(base, changes)).toJson(QJsonDocument::Compact);
}

}  // namespace StatusTextFixtures
