#include "ui/VTPopupPlacement.h"

#include <algorithm>

namespace {

int clamped(int value, int low, int high) {
    return high < low ? low : std::clamp(value, low, high);
}

}  // namespace

QPoint VTPopupPlacement::topLeft(const QRect& icon, const QPoint& cursor, const QSize& popup,
                                 const QRect& available) {
    QPoint position;
    if (icon.isValid() && !icon.isEmpty()) {
        // The side of the screen the icon is nearest to is the side its panel is on.
        const int toTop = icon.top() - available.top();
        const int toBottom = available.bottom() - icon.bottom();
        const int toLeft = icon.left() - available.left();
        const int toRight = available.right() - icon.right();
        const int nearest = std::min({toTop, toBottom, toLeft, toRight});
        if (nearest == toTop) {
            position = QPoint(icon.left(), icon.bottom() + 1);
        } else if (nearest == toBottom) {
            position = QPoint(icon.left(), icon.top() - popup.height());
        } else if (nearest == toLeft) {
            position = QPoint(icon.right() + 1, icon.top());
        } else {
            position = QPoint(icon.left() - popup.width(), icon.top());
        }
    } else {
        position = cursor;
        if (position.y() + popup.height() > available.bottom() + 1) {
            position.ry() -= popup.height();
        }
        if (position.x() + popup.width() > available.right() + 1) {
            position.rx() -= popup.width();
        }
    }
    return {clamped(position.x(), available.left(), available.right() + 1 - popup.width()),
            clamped(position.y(), available.top(), available.bottom() + 1 - popup.height())};
}
