#include "support/StateSnapshot.h"

#include <QMetaProperty>
#include <QStringList>

#include "model/BackupStatsSummary.h"
#include "model/VTBackupSetStats.h"
#include "model/VTDecimal.h"
#include "model/VTDestinationStats.h"
#include "model/VTVaultorState.h"

namespace {

QString describe(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<VTDecimal>()) {
        return value.value<VTDecimal>().toString();
    }
    if (value.metaType() == QMetaType::fromType<BackupStatsSummary>()) {
        const auto summary = value.value<BackupStatsSummary>();
        return QStringLiteral("summary:%1,%2,%3")
            .arg(summary.activities())
            .arg(summary.backupStatus())
            .arg(summary.pauseResumeTime());
    }
    return QString::fromLatin1(value.typeName()) + QLatin1Char(':') + value.toString();
}

void addProperties(const QObject* object, QStringList& lines) {
    if (!object) {
        lines.append(QStringLiteral("(none)"));
        return;
    }
    lines.append(QStringLiteral("-- ") + QString::fromLatin1(object->metaObject()->className()));
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QByteArray type = property.typeName();
        if (type.endsWith('*') || type.startsWith("QList<") ||
            qstrcmp(property.name(), "lastUpdated") == 0) {
            continue;
        }
        lines.append(QString::fromLatin1(property.name()) + QLatin1Char('=') +
                     describe(property.read(object)));
    }
}

void addComputer(const VTComputer* computer, QStringList& lines) {
    addProperties(computer, lines);
    addProperties(computer->stats(), lines);
    if (const auto* stats = qobject_cast<const VTDestinationStats*>(computer->stats())) {
        for (const VTBackupSetStats* set : stats->backupSetsStats()) {
            addProperties(set, lines);
            addProperties(set->analyzingFileToDo(), lines);
            addProperties(set->sendingFileToDo(), lines);
        }
    }
}

}  // namespace

std::string stateSnapshot(const VTVaultorState& state) {
    QStringList lines;
    addProperties(&state, lines);
    for (const VTDestination* destination : state.destinations()) {
        addComputer(destination, lines);
    }
    for (const VTSource* source : state.sources()) {
        addComputer(source, lines);
    }
    for (const VTComputer* computer : state.otherComputers()) {
        addComputer(computer, lines);
    }
    for (const VTBackupSet* set : state.sets()) {
        addProperties(set, lines);
    }
    return lines.join(QLatin1Char('\n')).toStdString();
}
