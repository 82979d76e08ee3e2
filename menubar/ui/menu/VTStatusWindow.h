#pragma once

#include <QPointer>
#include <memory>

#include "app/MasterControlProgram.h"
#include "app/VTLoggingObject.h"
#include "model/VTVaultorState.h"
#include "ui/menu/VTStatusItemMenuHandler.h"

class QAction;
class QMenu;
class QWidget;
class VTCollectionView;

namespace Ui {
class VTStatusWindow;
}

// The status panel as a normal window, for a desktop that shows no tray: it says why it is
// there, then shows the problem line, a row per destination and per source, and the panel's
// actions as buttons. While it is on screen it counts as the open panel, so the rows get the
// full statistics an open panel polls for.
class VTStatusWindow : public VTLoggingObject {
    Q_OBJECT
  public:
    // The panel's own actions, which the window's buttons trigger.
    struct Actions {
        QMenu* pauseMenu = nullptr;
        QAction* resume = nullptr;
        QAction* openApp = nullptr;
        QAction* account = nullptr;
        QAction* preferences = nullptr;
        QAction* quit = nullptr;
    };

    explicit VTStatusWindow(QObject* parent = nullptr);
    ~VTStatusWindow() override;

    void setState(VTVaultorState* state) { state_ = state; }
    void setMenuHandler(VTStatusItemMenuHandler* handler) { handler_ = handler; }
    void setApplicationController(MasterControlProgram* mcp) { mcp_ = mcp; }
    void setActions(const Actions& actions) { actions_ = actions; }
    // Builds the window (hidden); state, handler, controller and actions first.
    void awakeFromNib();

    QWidget* window() const { return window_.get(); }
    VTCollectionView* destinationsView() const { return destinationsView_; }
    VTCollectionView* sourcesView() const { return sourcesView_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    VTCollectionView* VT_makeList();
    void VT_refresh();
    void VT_updateProblem();

    QPointer<VTVaultorState> state_;
    QPointer<VTStatusItemMenuHandler> handler_;
    QPointer<MasterControlProgram> mcp_;
    Actions actions_;
    std::unique_ptr<QWidget> window_;
    std::unique_ptr<Ui::VTStatusWindow> form_;
    VTCollectionView* destinationsView_ = nullptr;
    VTCollectionView* sourcesView_ = nullptr;
};
