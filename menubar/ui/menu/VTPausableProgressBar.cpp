#include "ui/menu/VTPausableProgressBar.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimerEvent>
#include <cmath>

namespace {

constexpr int kStripeIntervalMs = 60;
constexpr int kStripeWidth = 8;

}  // namespace

VTPausableProgressBar::VTPausableProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 1000);
    setTextVisible(false);
}

void VTPausableProgressBar::startAnimation() {
    if (!shouldAnimate_) {
        return;
    }
    isAnimating_ = true;
    applyRange();
    startStripes();
}

// The stripes move only while the bar is on screen: the rows live in the closed panel all day.
void VTPausableProgressBar::startStripes() {
    if (!stripeTimer_ && isVisible()) {
        stripeTimer_ = startTimer(kStripeIntervalMs);
    }
}

void VTPausableProgressBar::stopStripes() {
    if (stripeTimer_) {
        killTimer(stripeTimer_);
        stripeTimer_ = 0;
    }
}

void VTPausableProgressBar::showEvent(QShowEvent* event) {
    QProgressBar::showEvent(event);
    if (isAnimating_) {
        startStripes();
    }
}

void VTPausableProgressBar::hideEvent(QHideEvent* event) {
    stopStripes();
    QProgressBar::hideEvent(event);
}

void VTPausableProgressBar::stopAnimation() {
    isAnimating_ = false;
    stopStripes();
    applyRange();
    update();
}

void VTPausableProgressBar::setShouldAnimate(bool flag) {
    if (shouldAnimate_ != isAnimating_) {
        if (shouldAnimate_) {
            startAnimation();
        } else {
            stopAnimation();
        }
    }
    const bool wasIndeterminate = indeterminate_;
    // The busy range in between resets the bar; a determinate bar keeps the progress it shows.
    const int shownValue = value();
    shouldAnimate_ = flag;
    setIndeterminate(true);
    if (flag) {
        startAnimation();
    } else {
        stopAnimation();
    }
    if (!wasIndeterminate) {
        setIndeterminate(false);
        setValue(shownValue);
    }
    emit shouldAnimateChanged(flag);
}

void VTPausableProgressBar::setIndeterminate(bool indeterminate) {
    indeterminate_ = indeterminate;
    applyRange();
}

void VTPausableProgressBar::setRatio(double percent) {
    setValue(static_cast<int>(std::lround(std::clamp(percent, 0.0, 100.0) * 10.0)));
}

void VTPausableProgressBar::applyRange() {
    // A busy bar moves by itself; a still indeterminate bar shows as an empty track.
    if (indeterminate_ && isAnimating_) {
        setRange(0, 0);
    } else if (maximum() == 0) {
        setRange(0, 1000);
    }
}

void VTPausableProgressBar::timerEvent(QTimerEvent* event) {
    if (event->timerId() != stripeTimer_) {
        QProgressBar::timerEvent(event);
        return;
    }
    stripeOffset_ = (stripeOffset_ + 1) % (2 * kStripeWidth);
    if (!indeterminate_) {
        update();
    }
}

void VTPausableProgressBar::paintEvent(QPaintEvent* event) {
    QProgressBar::paintEvent(event);
    if (!isAnimating_ || indeterminate_ || maximum() <= 0 || value() <= minimum()) {
        return;
    }
    // Light stripes travel over the filled part while data moves.
    const double fraction = static_cast<double>(value() - minimum()) / (maximum() - minimum());
    const QRectF filled(rect().x(), rect().y(), rect().width() * fraction, rect().height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(filled.adjusted(1, 1, -1, -1));
    QColor stripe = palette().color(QPalette::HighlightedText);
    stripe.setAlpha(70);
    painter.setPen(Qt::NoPen);
    painter.setBrush(stripe);
    const double h = filled.height();
    for (double x = filled.left() - 2 * kStripeWidth + stripeOffset_; x < filled.right();
         x += 2 * kStripeWidth) {
        QPainterPath band;
        band.moveTo(x, filled.bottom());
        band.lineTo(x + kStripeWidth, filled.bottom());
        band.lineTo(x + kStripeWidth + h, filled.top());
        band.lineTo(x + h, filled.top());
        band.closeSubpath();
        painter.drawPath(band);
    }
}
