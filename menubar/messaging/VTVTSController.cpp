#include "messaging/VTVTSController.h"

#include <QDateTime>
#include <algorithm>

#include "messaging/CommandTrayRequestMessage.h"
#include "messaging/PauseSystemMessage.h"
#include "messaging/ResumeSystemMessage.h"
#include "messaging/VTStatsRequestor.h"
#include "messaging/WebLoginKeyTrayRequestMessage.h"
#include "model/VTVaultorState.h"

VTVTSController::VTVTSController(VTStatsRequestor* statsRequestor, QObject* parent)
    : VTLoggingObject(parent), statsRequestor_(statsRequestor) {}

void VTVTSController::pauseService(qint64 minutes) {
    log()->infoWithFormat("Pause %i mins requested", static_cast<int>(minutes));
    if (connection_) {
        connection_->sendMessage(PauseSystemMessage(minutes));
    }
}

void VTVTSController::resumeService() {
    log()->info(QStringLiteral("Resume requested"));
    if (connection_) {
        connection_->sendMessage(ResumeSystemMessage());
    }
}

void VTVTSController::requestManageAccountPageKey() {
    log()->info(QStringLiteral("Requesting Web login key from VTS."));
    if (connection_) {
        connection_->sendMessage(WebLoginKeyTrayRequestMessage());
    }
}

void VTVTSController::pauseDestination(qint64 guid, qint64 minutes) {
    VT_pauseDestination(guid, minutes, std::nullopt);
}

void VTVTSController::VT_pauseDestination(qint64 guid, qint64 minutes,
                                          std::optional<qint64> setID) {
    QString command = QStringLiteral("pause.target %1 %2").arg(guid).arg(minutes);
    if (setID) {
        command += QStringLiteral(" %1").arg(*setID);
    }
    sendCommandMessage(command);
}

void VTVTSController::sendCommandMessage(const QString& command) {
    if (connection_) {
        connection_->sendMessage(CommandTrayRequestMessage(command));
    }
    if (statsRequestor_) {
        statsRequestor_->requestStatsUpdateAfterDelay(0.1);
    }
}

void VTVTSController::resumeDestination(qint64 guid) {
    std::optional<qint64> chosen;
    VTDestination* destination = nullptr;
    if (state_) {
        for (VTDestination* candidate : state_->destinations()) {
            if (candidate->GUID() == guid) {
                destination = candidate;
                break;
            }
        }
    }
    if (destination) {
        const QList<qint64> candidates = VT_activeSetIDsSortedByPriorityForGUID(guid);
        for (qint64 setID : candidates) {
            const auto& setsStats = destination->stats()->backupSetsStats();
            const auto entry = std::find_if(setsStats.begin(), setsStats.end(),
                                            [&](auto* stats) { return stats->setID() == setID; });
            if (entry != setsStats.end() && (*entry)->numRemainingBytes() >= 2) {
                chosen = setID;
                break;
            }
        }
    }
    log()->info(QStringLiteral("Returning '%1'")
                    .arg(chosen ? QString::number(*chosen) : QStringLiteral("(null)")));
    VT_resumeDestination(guid, chosen);
}

void VTVTSController::VT_resumeDestination(qint64 guid, std::optional<qint64> setID) {
    log()->info(QStringLiteral("Resuming set ID %1 on destination %2")
                    .arg(setID ? QString::number(*setID) : QStringLiteral("(null)"))
                    .arg(guid));
    if (state_ && state_->isPaused()) {
        resumeService();
    }
    VT_pauseDestination(guid, resumeMinutes(QDateTime::currentSecsSinceEpoch()), setID);
}

QList<qint64> VTVTSController::VT_activeSetIDsSortedByPriorityForGUID(qint64 guid) const {
    QList<qint64> setIDs;
    if (!state_) {
        return setIDs;
    }
    QList<VTBackupSet*> sets = state_->sets();
    std::stable_sort(sets.begin(), sets.end(), [](const VTBackupSet* a, const VTBackupSet* b) {
        return a->priority() > b->priority();
    });
    for (const VTBackupSet* set : sets) {
        if (set->isPathSetEmpty()) {
            continue;
        }
        for (qint64 destinationGUID : set->destinationGUIDs()) {
            if (destinationGUID == guid) {
                setIDs.append(set->setID());
            }
        }
    }
    return setIDs;
}
