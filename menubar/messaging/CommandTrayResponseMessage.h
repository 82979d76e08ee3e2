#pragma once

#include <QList>

#include "messaging/VTCommandTrayResponseResult.h"
#include "messaging/VTJSONDictMessage.h"

// The service's answer to a command: overall success, an error text, one result per part.
class CommandTrayResponseMessage : public VTJSONDictMessage {
    VT_MESSAGE_TYPE(CommandTrayResponseMessage, 10303)
  public:
    // Parses at once, so the fields below are ready after construction.
    void initWithData(const QByteArray& payload) override;

    bool success() const { return success_; }
    const std::optional<QString>& errorMsg() const { return errorMsg_; }
    const QList<VTCommandTrayResponseResult>& results() const { return results_; }

  private:
    bool success_ = false;
    std::optional<QString> errorMsg_;
    QList<VTCommandTrayResponseResult> results_;
};
