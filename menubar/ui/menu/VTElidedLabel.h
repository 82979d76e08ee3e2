#pragma once

#include <QLabel>

// A one-line label that ends a text too long for it with "…" instead of cutting it mid-letter;
// the whole text stays in its tool tip.
class VTElidedLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // The text shown, after eliding.
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
