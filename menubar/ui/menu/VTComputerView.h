#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/menu/VTPausableProgressBar.h"

class VTComputerStats;

namespace Ui {
class VTComputerView;
}

// The view of one computer's row in the status panel, made from its interface description: a
// status image, the name, the status text, the details toggle and line, the progress bar and,
// for destinations, the play/pause button. It owns the row's progress bar.
class VTComputerView : public QWidget {
    Q_OBJECT
  public:
    explicit VTComputerView(QWidget* parent = nullptr);
    ~VTComputerView() override;

    // The child whose "tag" property has that number, or null.
    QWidget* viewWithTag(int tag) const;
    const Ui::VTComputerView& form() const { return *form_; }

    VTPausableProgressBar* progressBar() const { return progressBar_; }
    // The last direct child that is a progress bar becomes the row's.
    void findAndSetProgBar();
    // Indeterminate while scanning, validating or maintaining; the value is the completion;
    // moving while the computer is active.
    void updateProgressBar(const VTComputerStats* stats);

  private:
    Ui::VTComputerView* form_;
    QPointer<VTPausableProgressBar> progressBar_;
};
