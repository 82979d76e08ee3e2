#include "ui/menu/VTComputerView.h"

#include "model/VTComputerStats.h"
#include "ui_VTComputerView.h"

VTComputerView::VTComputerView(QWidget* parent) : QWidget(parent), form_(new Ui::VTComputerView) {
    form_->setupUi(this);
    QFont name = font();
    name.setBold(true);
    form_->nameLabel->setFont(name);
}

VTComputerView::~VTComputerView() {
    delete form_;
}

QWidget* VTComputerView::viewWithTag(int tag) const {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->property("tag").toInt() == tag) {
            return child;
        }
    }
    return nullptr;
}

void VTComputerView::findAndSetProgBar() {
    const auto bars = findChildren<VTPausableProgressBar*>(Qt::FindDirectChildrenOnly);
    progressBar_ = bars.isEmpty() ? nullptr : bars.last();
}

void VTComputerView::updateProgressBar(const VTComputerStats* stats) {
    if (!stats || !progressBar_) {
        return;
    }
    progressBar_->setIndeterminate(stats->isScanning() || stats->isValidating() ||
                                   stats->isMaintaining());
    progressBar_->setRatio(stats->completionRatio().toDouble());
    progressBar_->setShouldAnimate(stats->isActive());
}
