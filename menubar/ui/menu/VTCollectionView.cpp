#include "ui/menu/VTCollectionView.h"

#include <QAbstractScrollArea>
#include <QResizeEvent>
#include <algorithm>

#include "model/VTComputer.h"
#include "ui/menu/VTCollectionViewComputerItem.h"
#include "ui/menu/VTComputerView.h"

namespace {

QString describe(const QList<VTComputer*>& list) {
    QStringList names;
    for (const VTComputer* computer : list) {
        names.append(computer->description());
    }
    return QStringLiteral("(") + names.join(QStringLiteral(", ")) + QStringLiteral(")");
}

}  // namespace

VTCollectionView::VTCollectionView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMinimumWidth(kMinimumWidth);
}

VTLogger* VTCollectionView::log() const {
    return VTLogger::sharedLoggerForClass(QStringLiteral("VTCollectionView"));
}

void VTCollectionView::setItemPrototype(VTCollectionViewComputerItem* prototype) {
    itemPrototype_ = prototype;
    if (prototype) {
        prototype->setCollectionView(this);
    }
}

void VTCollectionView::setContent(const QList<VTComputer*>& list) {
    if (!hasContent_ || list != shownList_) {
        if (VTLogger::isRecorded(VTLogger::Finer)) {
            log()->finer(QStringLiteral("Changing content array from: %1 \t\t To this: %2")
                             .arg(describe(content_), describe(list)));
        }
        shownList_ = list;
        content_ = list;
        hasContent_ = true;
        std::stable_sort(content_.begin(), content_.end(),
                         [](const VTComputer* a, const VTComputer* b) {
                             return QString::compare(a->name(), b->name(), Qt::CaseSensitive) < 0;
                         });
        qDeleteAll(items_);
        items_.clear();
        for (VTComputer* computer : std::as_const(content_)) {
            VTCollectionViewComputerItem* item = newItemForRepresentedObject(computer);
            items_.append(item);
            item->view()->setParent(this);
            item->view()->show();
        }
    }
    arrangeSubviews(nullptr);
}

VTCollectionViewComputerItem* VTCollectionView::newItemForRepresentedObject(VTComputer* computer) {
    if (VTLogger::isRecorded(VTLogger::Fine)) {
        log()->fine(QStringLiteral("Adding new VTCollectionViewComputerItem for object %1")
                        .arg(computer->description()));
    }
    VTCollectionViewComputerItem* item =
        itemPrototype_ ? itemPrototype_->copy(this) : new VTCollectionViewComputerItem(this);
    item->setCollectionView(this);
    item->setRepresentedObject(computer);
    return item;
}

void VTCollectionView::arrangeSubviews(VTCollectionViewComputerItem*) {
    log()->fine(QStringLiteral("Arranging subviews..."));
    int y = 0;
    int bottom = 0;
    for (VTCollectionViewComputerItem* row : std::as_const(items_)) {
        QWidget* view = row->view();
        view->move(0, y);
        view->resize(width(), view->height());
        bottom = y + view->height();
        y = bottom - kRowOverlap;
    }
    if (height() != bottom) {
        setFixedHeight(bottom);
        updateGeometry();
        emit arranged();
    }
    update();
    log()->fine(QStringLiteral("Subviews arranged."));
}

void VTCollectionView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) {
        arrangeSubviews(nullptr);
    }
}

QSize VTCollectionView::sizeHint() const {
    int width = kMinimumWidth;
    for (const VTCollectionViewComputerItem* row : items_) {
        width = std::max(width, row->view()->sizeHint().width());
    }
    return {width, height()};
}
