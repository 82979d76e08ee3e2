#pragma once

#include <QMap>
#include <QRecursiveMutex>
#include <memory>

#include "messaging/StatsMessage.h"
#include "model/VTAppStateDocument.h"

// The application-state document: computers, sets and statistics. Its results are extracted
// once, on the first access of any accessor, and do not change afterwards.
class AppStateMessage : public StatsMessage {
    VT_MESSAGE_TYPE(AppStateMessage, -15227)
  public:
    AppStateMessage();
    ~AppStateMessage() override;

    // Extracts the results unless done before: true when they had been extracted before. The
    // text is read once, by the faster reader, for these results and the statistics alike.
    bool VT_processJSON();

    bool alert();
    QString appBaseName();
    bool isProClient();
    bool isUpgrading();
    QString locale();
    QString versionName();
    QVariant versionNumber();
    QString websiteHost();
    VTOSType os();
    // Read without processing: valid once another accessor has run.
    std::optional<qint64> thisComputerGUID() const;
    // The sets belong to the message.
    const VTUniqueSet<VTBackupSet>& backupSetObjects();
    // Computer dictionaries by GUID; valid while the message lives.
    const QMap<qint64, VTJSONObject>& sources();
    const QMap<qint64, VTJSONObject>& destinations();
    const QMap<qint64, VTJSONObject>& otherComputers();

    // What the state reads; valid while the message lives.
    const VTAppStateDocument& appStateDocument();
    // Updates the state from the computers, sets and flags, then from the statistics.
    void applyTo(VTVaultorState& state) {
        state.updateFromAppState(appStateDocument(), statsDocument());
    }

  private:
    QRecursiveMutex documentLock_;
    std::unique_ptr<VTAppStateDocument> document_;
};
