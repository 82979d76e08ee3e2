#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QMutex>
#include <memory>
#include <optional>

#include "messaging/VTStringMessage.h"
#include "model/VTJSONDocument.h"

// A message whose payload is a JSON object, parsed on first access and only once.
class VTJSONDictMessage : public VTStringMessage {
  public:
    VTJSONDictMessage() = default;

    // Parses the text unless that was done before: answers true when the document was
    // already there, false when this call parsed (successfully or not). A document that
    // does not parse is reported and tried again at the next access. Throws when the
    // payload was not UTF-8, so that the dispatch guard drops the message.
    bool VT_processJSON();

    // The parsed object; empty when the document is missing or not an object.
    QJsonObject dict();
    // The parsed top-level value, when parsing succeeded.
    std::optional<QJsonValue> parsedValue();
    // The parsed object for reading, the same as dict() but read by the faster parser unless
    // the text was parsed into a QJsonObject already. Throws as VT_processJSON does.
    virtual VTJSONObject dictForReading();

  private:
    QMutex lock_;
    std::optional<QJsonValue> dict_;
    std::unique_ptr<VTJSONDocument> fastDocument_;
};
