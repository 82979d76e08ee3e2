#pragma once

#include <QByteArray>
#include <memory>

#include "model/VTJSONObject.h"

// A JSON object text read by simdjson, several times faster than QJsonDocument. The objects
// handed out point into this document and must not outlive it.
class VTJSONDocument {
  public:
    // The document when utf8 holds a JSON object that simdjson accepts; null otherwise. The
    // caller then reads the text with QJsonDocument, which accepts a few texts that simdjson
    // refuses (unpaired surrogates or control characters in strings, integers beyond 64 bits).
    // Text whose buffer has kPadding bytes of room behind it is read in place, not copied.
    static std::unique_ptr<VTJSONDocument> parseObject(const QByteArray& utf8);
    static constexpr qsizetype kPadding = 64;
    ~VTJSONDocument();

    const VTJSONObject& root() const { return root_; }

  private:
    struct Storage;
    struct SpareStorage;

    VTJSONDocument();
    // The storage of a released document, kept for the next one made on this thread.
    static SpareStorage& spare();

    std::unique_ptr<Storage> storage_;
    VTJSONObject root_;
};
