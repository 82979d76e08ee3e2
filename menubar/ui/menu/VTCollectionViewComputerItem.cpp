#include "ui/menu/VTCollectionViewComputerItem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>

#include "app/VTUtils.h"
#include "model/VTComputerStats.h"
#include "model/VTDestination.h"
#include "model/VTDestinationStats.h"
#include "model/VTModelTypes.h"
#include "model/VTModelUtils.h"
#include "model/VTSource.h"
#include "platform/VTUserDefaults.h"
#include "ui/VTImages.h"
#include "ui/menu/VTCollectionView.h"
#include "ui/menu/VTComputerView.h"
#include "ui/text/VTDestinationStatusTextBuilder.h"
#include "ui/text/VTSourceStatusTextBuilder.h"
#include "ui_VTComputerView.h"

namespace {

QString statusImageName(int computerStatus) {
    switch (computerStatus) {
        case VTComputerStatusSevere:
            return QStringLiteral("computer_status_severe");
        case VTComputerStatusWarning:
            return QStringLiteral("computer_status_warning");
        case VTComputerStatusSafe:
            return QStringLiteral("computer_status_safe");
        case VTComputerStatusComplete:
            return QStringLiteral("computer_status_complete");
        default:
            return QStringLiteral("computer_status_offline");
    }
}

// The themed image as a button icon, at every size the resources hold for it.
QIcon buttonIcon(const QString& name) {
    const QImage image = VTImages::imageFromResourceName(name);
    QIcon icon;
    for (const int pixels : {16, 22, 32, 44}) {
        if (const auto path = VTImages::pathAtPixelSize(image, pixels)) {
            icon.addFile(*path);
        }
    }
    if (icon.isNull() && !image.isNull()) {
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

// A plain image path drawn for a label of `pixels` points, sharp at the screen's density.
QPixmap labelPixmap(const QString& path, int pixels, qreal ratio) {
    const int device = static_cast<int>(pixels * ratio);
    QString sized = path;
    sized.replace(QStringLiteral(":/images/"), QStringLiteral(":/images/sizes/%1/").arg(device));
    QPixmap pixmap(QPixmap(sized).isNull() ? path : sized);
    if (pixmap.isNull()) {
        return pixmap;
    }
    pixmap = pixmap.scaled(device, device, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

}  // namespace

VTCollectionViewComputerItem::VTCollectionViewComputerItem(QObject* parent)
    : VTLoggingObject(parent), view_(new VTComputerView()) {
    const Ui::VTComputerView& form = view_->form();
    statusText_ = form.statusTextField->text();
    statusDetailsText_ = form.statusDetailsTextField->text();
    form.statusDetailsTextField->setVisible(false);
    form.showDetailsButton->setEnabled(false);
    QObject::connect(form.showDetailsButton, &QToolButton::clicked, this,
                     [this] { setIsDetailsHidden(!isDetailsHidden_); });
    QObject::connect(form.playPauseButton, &QToolButton::clicked, this, [this] {
        if (playPause_ && representedObject_ && computerType_ == 0 &&
            playPauseImage_ != QLatin1String("invisible")) {
            playPause_(representedObject_->GUID());
        }
    });
}

VTCollectionViewComputerItem::~VTCollectionViewComputerItem() {
    VT_stopObservingStats();
    delete view_;
}

VTCollectionViewComputerItem* VTCollectionViewComputerItem::copy(QObject* parent) const {
    auto* item = new VTCollectionViewComputerItem(parent);
    item->collectionView_ = collectionView_;
    item->playPause_ = playPause_;
    item->setStatusText(statusText_);
    item->setStatusDetailsText(statusDetailsText_);
    item->setIsDetailsHidden(isDetailsHidden_);
    if (!playPauseImage_.isEmpty()) {
        item->setPlayPauseImage(playPauseImage_);
    }
    if (!statusImagePath_.isEmpty()) {
        item->setStatusImagePath(statusImagePath_);
    }
    item->view_->resize(view_->size());
    return item;
}

void VTCollectionViewComputerItem::setCollectionView(VTCollectionView* list) {
    collectionView_ = list;
}

int VTCollectionViewComputerItem::zed_get_computer_type(const VTComputer* computer) {
    if (qobject_cast<const VTDestination*>(computer)) {
        return 0;
    }
    if (qobject_cast<const VTSource*>(computer)) {
        return 1;
    }
    return 2;
}

void VTCollectionViewComputerItem::VT_stopObservingStats() {
    for (const QMetaObject::Connection& observation : statsObservations_) {
        QObject::disconnect(observation);
    }
    statsObservations_.clear();
    QObject::disconnect(defaultsBinding_);
}

void VTCollectionViewComputerItem::setRepresentedObject(VTComputer* computer) {
    if (!computer) {
        return;
    }
    if (repStats_) {
        VT_stopObservingStats();
    }
    setIsProgressIndeterminate(false);
    setPlayPauseImage(QStringLiteral("invisible"));

    repStats_ = computer->stats();
    computerType_ = zed_get_computer_type(computer);
    statusTextBuilder_ = computerType_ == 1 ? static_cast<VTComputerStatusTextBuilder*>(
                                                  VTSourceStatusTextBuilder::sharedTextBuilder())
                                            : VTDestinationStatusTextBuilder::sharedTextBuilder();

    // The details choice lives in the user defaults, one per computer, both ways.
    detailsDefaultsKey_ = VTModelUtils::defaultsKeyDetailsHiddenForComputer(computer);
    VTUserDefaults* defaults = VTUtils::userDefaults();
    setIsDetailsHidden(defaults->boolForKey(detailsDefaultsKey_));
    defaultsBinding_ = QObject::connect(defaults, &VTUserDefaults::valueChanged, this,
                                        [this, defaults](const QString& key) {
                                            if (key == detailsDefaultsKey_) {
                                                setIsDetailsHidden(defaults->boolForKey(key));
                                            }
                                        });

    const Ui::VTComputerView& form = view_->form();
    QFont small = view_->font();
    small.setPixelSize(11);
    form.showDetailsButton->setFont(small);
    form.showDetailsTextField->setFont(small);
    form.showDetailsButton->update();
    form.showDetailsTextField->update();
    VT_showName(computer);
    statsObservations_.append(QObject::connect(computer, &VTComputer::nameChanged, this,
                                               [this, computer] { VT_showName(computer); }));

    if (repStats_) {
        VTComputerView* view = view_;
        VTComputerStats* stats = repStats_;
        statsObservations_.append(
            QObject::connect(stats, &VTComputerStats::isActiveChanged, view,
                             [view, stats] { view->updateProgressBar(stats); }));
        view_->findAndSetProgBar();
        statsObservations_.append(QObject::connect(stats, &VTComputerStats::lastUpdatedChanged,
                                                   this, [this] { VT_updateFromStats(); }));
    }
    representedObject_ = computer;
}

void VTCollectionViewComputerItem::VT_showName(const VTComputer* computer) {
    view_->form().nameLabel->setText(computer->name());
    view_->form().nameLabel->setToolTip(computer->name());
}

void VTCollectionViewComputerItem::VT_updateFromStats() {
    if (!repStats_) {
        return;
    }
    VT_updatePlayPauseImage();
    VT_updateStatusAndDetails();
    view_->updateProgressBar(repStats_);
    setIsProgressIndeterminate(view_->progressBar() && view_->progressBar()->isIndeterminate());
    VT_updateStatusImagePath();
}

void VTCollectionViewComputerItem::VT_updatePlayPauseImage() {
    QString image = QStringLiteral("invisible");
    if (computerType_ == 0) {
        const auto* stats = qobject_cast<const VTDestinationStats*>(repStats_);
        const bool paused = stats && stats->isPaused();
        const bool busy = stats && (stats->isBackingUp() || stats->isSelectedForBackup());
        // The model always holds a count of remaining files once statistics arrived, so an
        // idle or paused destination offers to resume.
        image = busy && !paused ? QStringLiteral("pause") : QStringLiteral("play");
    }
    if (image != playPauseImage_) {
        setPlayPauseImage(image);
    }
}

void VTCollectionViewComputerItem::VT_updateStatusAndDetails() {
    const QVariantMap texts = statusTextBuilder_->buildStatusTextDict(repStats_);
    setStatusText(texts.value(VTComputerStatusTextBuilder::kTextKey).toString());
    const QString details = texts.value(VTComputerStatusTextBuilder::kDetailsTextKey).toString();
    setStatusDetailsText(details);
    VT_applyTextColours();
    setIsShowDetailsButtonEnabled(!details.isEmpty());
    setShowDetailsButtonImage(details.isEmpty() ? QStringLiteral("invisible")
                                                : QStringLiteral("info_small"));
    if (QWidget* field = view_->viewWithTag(kShowDetailsTextFieldTag)) {
        field->adjustSize();
        field->update();
    }
}

void VTCollectionViewComputerItem::VT_applyTextColours() {
    // The panel's palette stands for the desktop's appearance: details read in a dark grey on
    // a light panel and in a light grey on a dark one.
    const bool light = view_->palette().color(QPalette::Window).lightness() >= 128;
    const QColor grey = light ? QColor(0x4a, 0x4a, 0x4a) : QColor(0xc4, 0xc4, 0xc4);
    for (const int tag : {kStatusDetailsTextFieldTag, kShowDetailsTextFieldTag}) {
        if (QWidget* field = view_->viewWithTag(tag)) {
            QPalette palette = field->palette();
            palette.setColor(QPalette::WindowText, grey);
            field->setPalette(palette);
        }
    }
}

void VTCollectionViewComputerItem::VT_updateStatusImagePath() {
    const auto path =
        VTUtils::imagePathFromResourceName(statusImageName(repStats_->computerStatus()));
    setStatusImagePath(path.value_or(QString()));
}

void VTCollectionViewComputerItem::setIsDetailsHidden(bool hidden) {
    isDetailsHidden_ = hidden;
    if (!detailsDefaultsKey_.isEmpty() &&
        VTUtils::userDefaults()->boolForKey(detailsDefaultsKey_) != hidden) {
        VTUtils::userDefaults()->setObject(hidden, detailsDefaultsKey_);
    }
    emit isDetailsHiddenChanged();
    VT_setViewSize();
}

void VTCollectionViewComputerItem::setStatusText(const QString& text) {
    statusText_ = text;
    view_->form().statusTextField->setText(text);
    view_->form().statusTextField->setToolTip(text);
    emit statusTextChanged();
    VT_setViewSize();
}

void VTCollectionViewComputerItem::setStatusDetailsText(const QString& text) {
    if (text == statusDetailsText_) {
        return;
    }
    statusDetailsText_ = text;
    view_->form().statusDetailsTextField->setText(text);
    view_->form().statusDetailsTextField->setToolTip(text);
    emit statusDetailsTextChanged();
    VT_setViewSize();
}

void VTCollectionViewComputerItem::setStatusImagePath(const QString& path) {
    if (path == statusImagePath_) {
        return;
    }
    statusImagePath_ = path;
    QLabel* image = view_->form().statusImage;
    // Drawn for the densest screen, so that it is sharp wherever the panel opens.
    image->setPixmap(labelPixmap(path, image->width(), qApp->devicePixelRatio()));
    emit statusImagePathChanged();
}

void VTCollectionViewComputerItem::setPlayPauseImage(const QString& name) {
    playPauseImage_ = name;
    QToolButton* button = view_->form().playPauseButton;
    button->setIcon(buttonIcon(name));
    button->setEnabled(name != QLatin1String("invisible"));
    button->setToolTip(name == QLatin1String("pause") ? tr("Pause this backup for a day")
                                                      : tr("Back up now"));
}

void VTCollectionViewComputerItem::setShowDetailsButtonImage(const QString& name) {
    showDetailsButtonImage_ = name;
    view_->form().showDetailsButton->setIcon(buttonIcon(name));
}

void VTCollectionViewComputerItem::setIsShowDetailsButtonEnabled(bool enabled) {
    isShowDetailsButtonEnabled_ = enabled;
    view_->form().showDetailsButton->setEnabled(enabled);
    view_->form().showDetailsTextField->setVisible(enabled);
}

void VTCollectionViewComputerItem::setIsProgressIndeterminate(bool indeterminate) {
    isProgressIndeterminate_ = indeterminate;
}

void VTCollectionViewComputerItem::resizeDetailsButton() {
    if (QWidget* button = view_->viewWithTag(kShowDetailsButtonTag)) {
        button->adjustSize();
    }
}

void VTCollectionViewComputerItem::VT_setViewSize() {
    resizeDetailsButton();
    const bool showDetails = !isDetailsHidden_ && !statusDetailsText_.isEmpty();
    view_->form().statusDetailsTextField->setVisible(showDetails);
    const double height = showDetails ? kHeightWithDetails : kHeightWithoutDetails;
    view_->setFixedHeight(static_cast<int>(height));
    if (collectionView_) {
        collectionView_->arrangeSubviews(this);
    }
}
