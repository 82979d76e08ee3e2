#include "VTStatusPrinter.h"

#include <cstdio>

#include "MasterControlProgram.h"
#include "VTVaultorState.h"

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

QString computerEntry(const char* role, const VTComputer& computer) {
    return QStringLiteral(" | %1 \"%2\" %3")
        .arg(QLatin1String(role), computer.name())
        .arg(computer.GUID());
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

QString VTStatusPrinter::statusLine(const VTVaultorState& state) {
    QString line = QStringLiteral("status: %1%2%3%4")
                       .arg(backupStatusName(state.backupStatus()),
                            state.isConnected() ? QString() : QStringLiteral(" (not connected)"),
                            state.isPaused() ? QStringLiteral(" (paused)") : QString(),
                            state.alert() ? QStringLiteral(" (alert)") : QString());
    for (const VTDestination* destination : state.destinations()) {
        line += computerEntry("destination", *destination);
    }
    for (const VTSource* source : state.sources()) {
        line += computerEntry("source", *source);
    }
    return line;
}

void VTStatusPrinter::print(const QString& line) {
    out_ << line << Qt::endl;
}
