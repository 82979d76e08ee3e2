#include "model/BackupStatsSummary.h"

#include <stdexcept>

#include "app/VTLogger.h"
#include "model/VTModelUtils.h"

BackupStatsSummary BackupStatsSummary::fromTokens(const QStringList& tokens) {
    if (tokens.size() < kTokenCount) {
        const QString message =
            QStringLiteral("Malformed backup stats summary: %1 tokens instead of %2")
                .arg(tokens.size())
                .arg(kTokenCount);
        VTLogger::sharedLoggerForClass(QStringLiteral("BackupStatsSummary"))->warning(message);
        throw std::invalid_argument(message.toStdString());
    }
    const auto integer = [&tokens](qsizetype index) {
        return VTModelUtils::int64Value(tokens[index]);
    };
    BackupStatsSummary summary;
    summary.activities_ = integer(0);
    summary.sendingNumRemainingFilesToBackup_ = integer(1);
    summary.numFilesBackedUp_ = integer(2);
    summary.pauseResumeTime_ = static_cast<double>(integer(3));
    summary.backupStatus_ = static_cast<qint32>(integer(4));
    summary.receivingComputer_ = integer(5);
    summary.sendingComputer_ = integer(6);
    summary.restoringFromComputer_ = integer(7);
    summary.sendingSendRateInBytesPerSec_ = integer(8);
    summary.sendingNumRemainingBytesToSend_ = integer(9);
    summary.sendingTotalNumBytes_ = integer(10);
    summary.sendingTotalNumFiles_ = integer(11);
    summary.lastBackupTime_ = static_cast<double>(integer(12));
    summary.nextScheduledTime_ = static_cast<double>(integer(13));
    summary.isEmpty_ = false;
    return summary;
}
