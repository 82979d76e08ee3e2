#pragma once

#include "messaging/VTJSONDictMessage.h"

// A web login key and the computer it was made for.
class WebLoginKeyTrayResponseMessage : public VTJSONDictMessage {
    VT_MESSAGE_TYPE(WebLoginKeyTrayResponseMessage, -17837)
  public:
    // Parses at once, so the fields below are ready after construction.
    void initWithData(const QByteArray& payload) override;

    const std::optional<QString>& key() const { return key_; }
    // The "computer" value in its text form (a GUID number in decimal).
    const std::optional<QString>& computerParam() const { return computerParam_; }

  private:
    std::optional<QString> key_;
    std::optional<QString> computerParam_;
};
