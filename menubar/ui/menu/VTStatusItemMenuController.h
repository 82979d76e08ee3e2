#pragma once

#include <QPointer>
#include <QString>
#include <memory>

#include "app/MasterControlProgram.h"
#include "app/VTLoggingObject.h"
#include "app/VTStatusMenu.h"
#include "model/VTVaultorState.h"
#include "ui/menu/VTCollectionViewComputerItem.h"
#include "ui/menu/VTStatusItemMenuHandler.h"

class QAction;
class QMenu;
class QWidgetAction;
class VTCollectionView;
class VTComputer;

namespace Ui {
class VTStatusPanel;
}

// Keeps the status panel in step with the model: a row per destination and per source, the
// problem line, pause and resume, the desktop application, the account page, preferences and
// quit. The panel is a menu whose rows are widget actions; the context menu (a right click,
// which a tray host may draw itself, where widgets cannot travel) holds the same actions and a
// plain line per computer.
class VTStatusItemMenuController : public VTLoggingObject, public VTStatusMenu {
    Q_OBJECT
  public:
    explicit VTStatusItemMenuController(QObject* parent = nullptr);
    ~VTStatusItemMenuController() override;

    // Builds both menus and starts following the state; state, handler and controller first.
    void awakeFromNib();
    void setState(VTVaultorState* state) { state_ = state; }
    void setMenuHandler(VTStatusItemMenuHandler* handler) { handler_ = handler; }
    void setApplicationController(MasterControlProgram* mcp) { mcp_ = mcp; }

    void resizeDetailsTextButtons() override;
    void refreshComputerViews() override;

    QMenu* statusItemMenu() const { return statusItemMenu_.get(); }
    QMenu* contextMenu() const { return contextMenu_.get(); }
    VTCollectionView* destinationsView() const { return destinationsView_; }
    VTCollectionView* sourcesView() const { return sourcesView_; }
    QAction* problemMenuItem() const;
    // The pause items, each tagged with its minutes.
    QList<QAction*> pauseMenuItems() const;
    // The panel's fixed actions, which other views of the panel trigger too.
    QMenu* pauseMenu() const { return pauseMenu_; }
    QAction* resumeMenuItem() const;
    QAction* openAppMenuItem() const;
    QAction* accountMenuItem() const;
    QAction* preferencesMenuItem() const;
    QAction* quitMenuItem() const;
    const QString& fontName() const { return fontName_; }
    double fontSize() const { return fontSize_; }

  private:
    void VT_buildPanel();
    void VT_buildContextMenu();
    void VT_addFixedActions(QMenu* menu);
    // The action, when triggered, runs the operation of the handler there is by then.
    void VT_sendToHandler(QAction* action, void (VTStatusItemMenuHandler::*operation)());
    void VT_stateUpdated();
    void VT_destinationsChanged();
    void VT_sourcesChanged();
    void VT_updateProblem();
    void VT_rebuildContextLines();
    void VT_updateContextLines();
    void VT_relayoutPanel();

    QPointer<VTVaultorState> state_;
    QPointer<VTStatusItemMenuHandler> handler_;
    QPointer<MasterControlProgram> mcp_;
    std::unique_ptr<QMenu> statusItemMenu_;
    std::unique_ptr<QMenu> contextMenu_;
    std::unique_ptr<QWidget> formHolder_;
    Ui::VTStatusPanel* form_;
    VTCollectionView* destinationsView_ = nullptr;
    VTCollectionView* sourcesView_ = nullptr;
    QWidgetAction* outboundMenuItem_ = nullptr;
    QWidgetAction* inboundMenuItem_ = nullptr;
    QWidgetAction* inboundHeader_ = nullptr;
    QWidgetAction* outboundHeader_ = nullptr;
    QMenu* pauseMenu_ = nullptr;
    QAction* contextLinesEnd_ = nullptr;
    // One line per row, in the panel's order.
    QList<std::pair<QPointer<VTCollectionViewComputerItem>, QAction*>> contextLines_;
    bool destinationsChanged_ = false;
    bool sourcesChanged_ = false;
    QString fontName_;
    double fontSize_ = 0;
};
