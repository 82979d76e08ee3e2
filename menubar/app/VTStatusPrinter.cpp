#include "app/VTStatusPrinter.h"

#include <cstdio>

#include "app/MasterControlProgram.h"
#include "model/VTVaultorState.h"
#include "ui/text/VTRowStatusTexts.h"

namespace {

QString backupStatusName(int status) {
    switch (status) {
        case VTBackupStatusSevere:
            return QStringLiteral("severe");
        case VTBackupStatusWarning:
            return QStringLiteral("warning");
        case VTBackupStatusUnknown:
            return QStringLiteral("unknown");
        case VTBackupStatusSafe:
            return QStringLiteral("safe");
        case VTBackupStatusComplete:
            return QStringLiteral("complete");
        default:
            return QStringLiteral("status %1").arg(status);
    }
}

// A row as the menu would show it: role, name, GUID, then its status and details texts.
QString computerEntry(const char* role, const VTComputer& computer, VTVaultorState& state) {
    const VTRowStatusTexts texts = VTRowStatusTexts::forComputer(&computer, &state);
    QString entry = QStringLiteral(" | %1 \"%2\" %3: %4")
                        .arg(QLatin1String(role), computer.name())
                        .arg(computer.GUID())
                        .arg(texts.text);
    if (!texts.detailsText.isEmpty()) {
        entry += QStringLiteral(" (%1)").arg(texts.detailsText);
    }
    return entry;
}

}  // namespace

VTStatusPrinter::VTStatusPrinter(VTVaultorState* state, MasterControlProgram* mcp, QObject* parent)
    : QObject(parent), state_(state), mcp_(mcp), out_(stdout) {
    QObject::connect(state_, &VTVaultorState::lastUpdatedChanged, this,
                     [this] { print(statusLine(*state_)); });
    QObject::connect(mcp_, &MasterControlProgram::problemChanged, this, [this] {
        print(mcp_->problemVisible() ? QStringLiteral("problem: ") + mcp_->problemText()
                                     : QStringLiteral("problem: none"));
    });
}

QString VTStatusPrinter::statusLine(VTVaultorState& state) {
    QString line = QStringLiteral("status: %1%2%3%4")
                       .arg(backupStatusName(state.backupStatus()),
                            state.isConnected() ? QString() : QStringLiteral(" (not connected)"),
                            state.isPaused() ? QStringLiteral(" (paused)") : QString(),
                            state.alert() ? QStringLiteral(" (alert)") : QString());
    for (const VTDestination* destination : state.destinations()) {
        line += computerEntry("destination", *destination, state);
    }
    for (const VTSource* source : state.sources()) {
        line += computerEntry("source", *source, state);
    }
    return line;
}

void VTStatusPrinter::print(const QString& line) {
    out_ << line << Qt::endl;
}
