#pragma once

#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <functional>

#include "app/VTLoggingObject.h"
#include "model/VTComputer.h"
#include "model/VTComputerStats.h"
#include "ui/menu/VTComputerView.h"

class QWidget;
class VTCollectionView;
class VTComputerStatusTextBuilder;

// The controller of one computer's row: fills the row from the computer's statistics each time
// they are updated (play/pause image, texts, progress bar, status image), keeps the details
// choice per computer in the user defaults, and sizes the row: 46 points, or 65 with a
// details line showing.
class VTCollectionViewComputerItem : public VTLoggingObject {
    Q_OBJECT
    Q_PROPERTY(bool isDetailsHidden READ isDetailsHidden WRITE setIsDetailsHidden NOTIFY
                   isDetailsHiddenChanged)
    Q_PROPERTY(QString statusText READ statusText WRITE setStatusText NOTIFY statusTextChanged)
    Q_PROPERTY(QString statusDetailsText READ statusDetailsText WRITE setStatusDetailsText NOTIFY
                   statusDetailsTextChanged)
    Q_PROPERTY(QString statusImagePath READ statusImagePath WRITE setStatusImagePath NOTIFY
                   statusImagePathChanged)
  public:
    static constexpr double kHeightWithoutDetails = 46.0;
    static constexpr double kHeightWithDetails = 65.0;
    // Tags of the row's subviews.
    static constexpr int kShowDetailsButtonTag = 86;
    static constexpr int kShowDetailsTextFieldTag = 8686;
    static constexpr int kStatusDetailsTextFieldTag = 8787;

    using PlayPauseAction = std::function<void(qint64 guid)>;

    // A row with a view of its own, made from the interface description.
    explicit VTCollectionViewComputerItem(QObject* parent = nullptr);
    ~VTCollectionViewComputerItem() override;

    // A new row with this one's values and a view of its own (the prototype is copied per
    // computer).
    VTCollectionViewComputerItem* copy(QObject* parent) const;

    void setRepresentedObject(VTComputer* computer);
    VTComputer* representedObject() const { return representedObject_; }
    VTComputerView* view() const { return view_; }
    void setCollectionView(VTCollectionView* list);
    // What the play/pause button does with the row's GUID.
    void setPlayPauseAction(PlayPauseAction action) { playPause_ = std::move(action); }

    // 0 destination, 1 source, 2 anything else.
    static int zed_get_computer_type(const VTComputer* computer);

    int computerType() const { return computerType_; }
    bool isDetailsHidden() const { return isDetailsHidden_; }
    void setIsDetailsHidden(bool hidden);
    bool isProgressIndeterminate() const { return isProgressIndeterminate_; }
    bool isShowDetailsButtonEnabled() const { return isShowDetailsButtonEnabled_; }
    const QString& playPauseImage() const { return playPauseImage_; }
    const QString& showDetailsButtonImage() const { return showDetailsButtonImage_; }
    const QString& statusText() const { return statusText_; }
    void setStatusText(const QString& text);
    const QString& statusDetailsText() const { return statusDetailsText_; }
    void setStatusDetailsText(const QString& text);
    const QString& statusImagePath() const { return statusImagePath_; }
    void setStatusImagePath(const QString& path);

    // The model update run on each change of the statistics' "lastUpdated".
    void VT_updateFromStats();
    void resizeDetailsButton();

  signals:
    void isDetailsHiddenChanged();
    void statusTextChanged();
    void statusDetailsTextChanged();
    void statusImagePathChanged();

  private:
    void VT_stopObservingStats();
    void VT_showName(const VTComputer* computer);
    void VT_updatePlayPauseImage();
    void VT_updateStatusAndDetails();
    void VT_updateStatusImagePath();
    void VT_setViewSize();
    void VT_applyTextColours();
    void setPlayPauseImage(const QString& name);
    void setShowDetailsButtonImage(const QString& name);
    void setIsShowDetailsButtonEnabled(bool enabled);
    void setIsProgressIndeterminate(bool indeterminate);

    QPointer<VTComputerView> view_;
    QPointer<VTCollectionView> collectionView_;
    QPointer<VTComputer> representedObject_;
    VTComputerStatusTextBuilder* statusTextBuilder_ = nullptr;
    QPointer<VTComputerStats> repStats_;
    int computerType_ = 2;
    QString detailsDefaultsKey_;
    bool isDetailsHidden_ = true;
    bool isProgressIndeterminate_ = false;
    bool isShowDetailsButtonEnabled_ = false;
    QString playPauseImage_;
    QString showDetailsButtonImage_;
    QString statusText_;
    QString statusDetailsText_;
    QString statusImagePath_;
    PlayPauseAction playPause_;
    QList<QMetaObject::Connection> statsObservations_;
    QMetaObject::Connection defaultsBinding_;
};
