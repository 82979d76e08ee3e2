#include "messaging/BackupStatsSummaryMessage.h"

void BackupStatsSummaryMessage::initWithData(const QByteArray& payload) {
    VTTokenMessage::initWithData(payload);
    stats_ = BackupStatsSummary::fromTokens(tokens());
}
