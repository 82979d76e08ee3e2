#pragma once

#include <QList>
#include <QString>
#include <optional>

// Fills the placeholders of a localised text. "%@" takes the next value in turn; "%1$@",
// "%2$@" ... take a value by position, so a translation may reorder them. A missing value
// (std::nullopt) is inserted as an empty text and reported through `missing`, so that the
// caller can log the faulty text instead of showing a made-up word.
class VTTextTemplate {
  public:
    VTTextTemplate() = delete;

    static QString fill(const QString& text, const QList<std::optional<QString>>& values,
                        bool* missing = nullptr);
};
