// The legacy protocol's token messages: the statistics summary applied to a state (with and
// without legacy messaging), the status tray answer, and the computer records. The input is a
// sequence of payloads separated by NUL bytes, each starting with its kind: 'b' summary,
// 't' status tray, 'c' computers, 'l' switches the state to legacy messaging. A token that is
// a plain decimal number must read as that number; the state must take the summary's activity
// and a status it knows; every record with a GUID must give its computer.
#include <exception>

#include "messaging/BackupStatsSummaryMessage.h"
#include "messaging/ComputersMessage.h"
#include "messaging/StatusTrayMessage.h"
#include "model/VTVaultorState.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/QtFuzzEnvironment.h"

namespace {

// The token's number, when the token is written exactly as that number would be.
std::optional<qint64> plainNumber(const QString& token) {
    bool ok = false;
    const qint64 number = token.toLongLong(&ok);
    return ok && QString::number(number) == token ? std::optional(number) : std::nullopt;
}

void checkSummary(const QStringList& tokens, const BackupStatsSummary& summary) {
    const qint64 fields[] = {summary.activities(),
                             summary.sendingNumRemainingFilesToBackup(),
                             summary.numFilesBackedUp(),
                             0,
                             summary.backupStatus(),
                             summary.receivingComputer(),
                             summary.sendingComputer(),
                             summary.restoringFromComputer(),
                             summary.sendingSendRateInBytesPerSec(),
                             summary.sendingNumRemainingBytesToSend(),
                             summary.sendingTotalNumBytes(),
                             summary.sendingTotalNumFiles()};
    for (qsizetype i = 0; i < qsizetype(std::size(fields)); ++i) {
        // The pause time is a double, the status a 32-bit code.
        if (i == 3 || i == 4) {
            continue;
        }
        if (const auto number = plainNumber(tokens[i])) {
            VT_FUZZ_CHECK(fields[i] == *number);
        }
    }
}

void applySummary(const QByteArray& payload, VTVaultorState& state) {
    BackupStatsSummaryMessage message;
    try {
        message.initWithData(payload);
    } catch (const std::invalid_argument&) {
        VT_FUZZ_CHECK(message.tokens().size() < BackupStatsSummary::kTokenCount);
        return;
    }
    checkSummary(message.tokens(), message.stats());
    state.updateFromBackupStatsSummary(message.stats());
    VT_FUZZ_CHECK(state.isSending() == message.stats().isSending());
    VT_FUZZ_CHECK(state.isReceiving() == message.stats().isReceiving());
    VT_FUZZ_CHECK(state.isRestoring() == message.stats().isRestoringFrom());
    VT_FUZZ_CHECK(state.backupStatus() >= VTBackupStatusSevere &&
                  state.backupStatus() <= VTBackupStatusComplete);
    VT_FUZZ_CHECK(!state.isUsingLegacyMessaging() || !state.sets().isEmpty());
}

void readStatusTray(const QByteArray& payload) {
    StatusTrayMessage message;
    message.initWithData(payload);
    (void)message.appBaseName();
    (void)message.appName();
    (void)message.version();
    try {
        (void)message.isUpgrading();
    } catch (const std::out_of_range&) {
        VT_FUZZ_CHECK(message.tokens().size() < 2);
    }
}

void readComputers(const QByteArray& payload) {
    ComputersMessage message;
    message.initWithData(payload);
    QObject owner;
    const VTUniqueSet<VTComputer> computers = message.computersSet(&owner);
    for (qsizetype i = 1; i < message.tokens().size(); ++i) {
        const auto guid = plainNumber(message.tokens()[i].section(QLatin1Char(','), 0, 0));
        if (!guid || *guid == 0) {
            continue;
        }
        const bool found = std::any_of(computers.begin(), computers.end(),
                                       [&](const VTComputer* c) { return c->GUID() == *guid; });
        VT_FUZZ_CHECK(found);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QtFuzzEnvironment::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    {
        VTVaultorState state(QtFuzzEnvironment::userDefaults());
        while (!input.empty()) {
            const std::string_view piece = input.takeUntil('\0');
            if (piece.empty()) {
                continue;
            }
            const QByteArray payload(piece.data() + 1, static_cast<qsizetype>(piece.size() - 1));
            switch (piece.front()) {
                case 'b':
                    applySummary(payload, state);
                    break;
                case 't':
                    readStatusTray(payload);
                    break;
                case 'c':
                    readComputers(payload);
                    break;
                case 'l':
                    state.setIsUsingLegacyMessaging(true);
                    break;
                default:
                    break;
            }
        }
    }
    QtFuzzEnvironment::finishInput();
    return 0;
}
