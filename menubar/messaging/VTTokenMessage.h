#pragma once

#include <QStringList>

#include "messaging/VTStringMessage.h"

// A message whose payload is a list of text tokens joined by "|". Tokens are not escaped:
// a token holding "|" arrives as two.
class VTTokenMessage : public VTStringMessage {
  public:
    VTTokenMessage() = default;

    void initWithData(const QByteArray& payload) override;
    void initWithString(const QString& text);
    void addToken(const QString& token) { tokens_.append(token); }
    void addToken(qint64 number) { tokens_.append(QString::number(number)); }

    const QStringList& tokens() const { return tokens_; }
    // The token at index, or nothing when the message is shorter.
    std::optional<QString> tokenAt(qsizetype index) const;

    QString VT_buildTokenString() const { return tokens_.join(QLatin1Char('|')); }
    // The token list, not the received text, is what goes out.
    QByteArray VT_msgData() const override { return VT_buildTokenString().toUtf8(); }
    QString description() const override;

  private:
    QStringList tokens_;
};
