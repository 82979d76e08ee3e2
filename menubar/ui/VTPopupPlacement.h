#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a popup opens next to the tray: below an icon in a panel at the top of the screen,
// above one at the bottom, beside one at a side; at the cursor when the tray host does not
// say where its icon is. The popup always lies wholly on the screen's available area (as far
// as it fits at all).
class VTPopupPlacement {
  public:
    VTPopupPlacement() = delete;

    static QPoint topLeft(const QRect& icon, const QPoint& cursor, const QSize& popup,
                          const QRect& available);
};
