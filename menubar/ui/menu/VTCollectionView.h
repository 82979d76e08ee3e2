#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include "app/VTLoggingObject.h"

class VTComputer;
class VTCollectionViewComputerItem;

// A vertical list of computer rows, sorted by name (case-sensitively, as the service spells
// them), each row a copy of the prototype; consecutive rows overlap by 4 points.
class VTCollectionView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kRowOverlap = 4;
    // Wide enough for a status text such as "About 28 minutes left @ 14.2 mbps" in full.
    static constexpr int kMinimumWidth = 400;

    explicit VTCollectionView(QWidget* parent = nullptr);

    // Rebuilds the rows when the list is not the one shown; lays them out in any case.
    void setContent(const QList<VTComputer*>& list);
    const QList<VTComputer*>& content() const { return content_; }
    const QList<VTCollectionViewComputerItem*>& items() const { return items_; }
    VTCollectionViewComputerItem* itemPrototype() const { return itemPrototype_; }
    void setItemPrototype(VTCollectionViewComputerItem* prototype);

    // Places the rows one under the other and fits the list's height to them. Whether a row
    // asks (item) or not, the new size is set at once: a menu cannot animate its items.
    void arrangeSubviews(VTCollectionViewComputerItem* item);
    VTCollectionViewComputerItem* newItemForRepresentedObject(VTComputer* computer);

    QSize sizeHint() const override;

  protected:
    // The menu gives the list its width when it lays itself out; the rows follow it.
    void resizeEvent(QResizeEvent* event) override;

  signals:
    // The list's height changed: whoever holds it lays itself out again.
    void arranged();

  private:
    VTLogger* log() const;

    // The list as given (the one compared with the next) and sorted by name.
    QList<VTComputer*> shownList_;
    QList<VTComputer*> content_;
    bool hasContent_ = false;
    QList<VTCollectionViewComputerItem*> items_;
    QPointer<VTCollectionViewComputerItem> itemPrototype_;
};
