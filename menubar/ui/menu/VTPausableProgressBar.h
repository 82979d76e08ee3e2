#pragma once

#include <QProgressBar>

// A progress bar whose motion can be switched on and off: it moves (a busy bar, or a stripe
// drawn over the filled part) only while it should animate, so rows of idle computers stay
// still and cost no redraws.
class VTPausableProgressBar : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(
        bool shouldAnimate READ shouldAnimate WRITE setShouldAnimate NOTIFY shouldAnimateChanged)
  public:
    explicit VTPausableProgressBar(QWidget* parent = nullptr);

    bool shouldAnimate() const { return shouldAnimate_; }
    void setShouldAnimate(bool flag);
    bool isAnimating() const { return isAnimating_; }
    void startAnimation();
    void stopAnimation();

    bool isIndeterminate() const { return indeterminate_; }
    // An indeterminate bar shows activity without a value.
    void setIndeterminate(bool indeterminate);
    // Percent, 0 to 100.
    void setRatio(double percent);

  signals:
    void shouldAnimateChanged(bool flag);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void applyRange();
    void startStripes();
    void stopStripes();

    bool shouldAnimate_ = false;
    bool isAnimating_ = false;
    bool indeterminate_ = false;
    int stripeTimer_ = 0;
    int stripeOffset_ = 0;
};
