#include "ui/menu/VTStatusItemMenuController.h"

#include <QLabel>
#include <QMenu>
#include <QWidgetAction>

#include "app/MasterControlProgram.h"
#include "model/VTComputerStats.h"
#include "model/VTDestination.h"
#include "model/VTSource.h"
#include "model/VTVaultorState.h"
#include "ui/menu/VTCollectionView.h"
#include "ui/menu/VTCollectionViewComputerItem.h"
#include "ui/menu/VTComputerView.h"
#include "ui/menu/VTStatusItemMenuHandler.h"
#include "ui/text/VTDestinationStatusTextBuilder.h"
#include "ui/text/VTSourceStatusTextBuilder.h"
#include "ui_VTStatusPanel.h"

namespace {

template <class Computer>
QList<VTComputer*> computers(const QList<Computer*>& list) {
    return QList<VTComputer*>(list.begin(), list.end());
}

QWidgetAction* widgetAction(QWidget* widget, QObject* parent) {
    auto* action = new QWidgetAction(parent);
    action->setDefaultWidget(widget);
    return action;
}

}  // namespace

VTStatusItemMenuController::VTStatusItemMenuController(QObject* parent)
    : VTLoggingObject(parent), formHolder_(new QWidget()), form_(new Ui::VTStatusPanel) {
    form_->setupUi(formHolder_.get());
}

VTStatusItemMenuController::~VTStatusItemMenuController() {
    // The menus own the rows and headers taken from the form; they go first.
    statusItemMenu_.reset();
    contextMenu_.reset();
    delete form_;
}

void VTStatusItemMenuController::awakeFromNib() {
    fontSize_ = 15;
    fontName_ = QStringLiteral("Lucida Grande");
    VTDestinationStatusTextBuilder::sharedTextBuilder()->setState(state_);
    VTSourceStatusTextBuilder::sharedTextBuilder()->setState(state_);
    VT_buildPanel();
    VT_buildContextMenu();
    if (handler_) {
        handler_->addMenu(statusItemMenu_.get());
        handler_->addMenu(contextMenu_.get());
    }
    if (state_) {
        // A computer joins the lists before the service's description of it is read; the rows
        // are made when the update ends (lastUpdated), with names to sort by.
        QObject::connect(state_, &VTVaultorState::destinationsChanged, this,
                         [this] { destinationsChanged_ = true; });
        QObject::connect(state_, &VTVaultorState::sourcesChanged, this,
                         [this] { sourcesChanged_ = true; });
        QObject::connect(state_, &VTVaultorState::lastUpdatedChanged, this,
                         &VTStatusItemMenuController::VT_stateUpdated);
    }
    if (mcp_) {
        QObject::connect(mcp_, &MasterControlProgram::problemChanged, this,
                         &VTStatusItemMenuController::VT_updateProblem);
    }
    VT_destinationsChanged();
    VT_sourcesChanged();
    VT_updateProblem();
}

void VTStatusItemMenuController::VT_buildPanel() {
    statusItemMenu_ = std::make_unique<QMenu>();
    statusItemMenu_->setObjectName(QStringLiteral("statusItemMenu"));
    statusItemMenu_->setSeparatorsCollapsible(true);

    const auto makeList = [this] {
        auto* list = new VTCollectionView();
        auto* prototype = new VTCollectionViewComputerItem(list);
        prototype->setPlayPauseAction([this](qint64 guid) {
            if (mcp_) {
                mcp_->playPauseComputer(guid);
            }
        });
        list->setItemPrototype(prototype);
        QObject::connect(list, &VTCollectionView::arranged, this,
                         &VTStatusItemMenuController::VT_relayoutPanel);
        return list;
    };
    destinationsView_ = makeList();
    sourcesView_ = makeList();

    QFont header = form_->outboundHeader->font();
    header.setBold(true);
    form_->outboundHeader->setFont(header);
    form_->inboundHeader->setFont(header);
    outboundHeader_ = widgetAction(form_->outboundHeader, statusItemMenu_.get());
    outboundMenuItem_ = widgetAction(destinationsView_, statusItemMenu_.get());
    inboundHeader_ = widgetAction(form_->inboundHeader, statusItemMenu_.get());
    inboundMenuItem_ = widgetAction(sourcesView_, statusItemMenu_.get());

    statusItemMenu_->addAction(form_->actionProblem);
    statusItemMenu_->addAction(outboundHeader_);
    statusItemMenu_->addAction(outboundMenuItem_);
    statusItemMenu_->addAction(inboundHeader_);
    statusItemMenu_->addAction(inboundMenuItem_);
    statusItemMenu_->addSeparator();

    pauseMenu_ = statusItemMenu_->addMenu(tr("&Pause Backups"));
    for (QAction* pause : pauseMenuItems()) {
        pauseMenu_->addAction(pause);
        QObject::connect(pause, &QAction::triggered, this, [this, pause] {
            if (handler_) {
                handler_->pauseService(pause->property("tag").toLongLong());
            }
        });
    }
    VT_sendToHandler(form_->actionResume, &VTStatusItemMenuHandler::resumeService);
    VT_sendToHandler(form_->actionOpenApp, &VTStatusItemMenuHandler::showDesktopApp);
    VT_sendToHandler(form_->actionAccount, &VTStatusItemMenuHandler::requestOpenManageAccountPage);
    VT_sendToHandler(form_->actionPreferences, &VTStatusItemMenuHandler::showPreferences);
    VT_sendToHandler(form_->actionQuit, &VTStatusItemMenuHandler::quitApp);
    statusItemMenu_->addAction(form_->actionResume);
    VT_addFixedActions(statusItemMenu_.get());
}

void VTStatusItemMenuController::VT_sendToHandler(QAction* action,
                                                  void (VTStatusItemMenuHandler::*operation)()) {
    QObject::connect(action, &QAction::triggered, this, [this, operation] {
        if (handler_) {
            (handler_->*operation)();
        }
    });
}

void VTStatusItemMenuController::VT_addFixedActions(QMenu* menu) {
    menu->addSeparator();
    menu->addAction(form_->actionOpenApp);
    menu->addAction(form_->actionAccount);
    menu->addAction(form_->actionPreferences);
    menu->addSeparator();
    menu->addAction(form_->actionQuit);
}

void VTStatusItemMenuController::VT_buildContextMenu() {
    contextMenu_ = std::make_unique<QMenu>();
    contextMenu_->setObjectName(QStringLiteral("contextMenu"));
    contextMenu_->addAction(form_->actionProblem);
    contextLinesEnd_ = contextMenu_->addSeparator();
    contextMenu_->addMenu(pauseMenu_);
    contextMenu_->addAction(form_->actionResume);
    VT_addFixedActions(contextMenu_.get());
}

QAction* VTStatusItemMenuController::problemMenuItem() const {
    return form_->actionProblem;
}

QAction* VTStatusItemMenuController::resumeMenuItem() const {
    return form_->actionResume;
}

QAction* VTStatusItemMenuController::openAppMenuItem() const {
    return form_->actionOpenApp;
}

QAction* VTStatusItemMenuController::accountMenuItem() const {
    return form_->actionAccount;
}

QAction* VTStatusItemMenuController::preferencesMenuItem() const {
    return form_->actionPreferences;
}

QAction* VTStatusItemMenuController::quitMenuItem() const {
    return form_->actionQuit;
}

QList<QAction*> VTStatusItemMenuController::pauseMenuItems() const {
    return {form_->actionPause15, form_->actionPause60, form_->actionPause1440};
}

void VTStatusItemMenuController::VT_stateUpdated() {
    if (std::exchange(destinationsChanged_, false)) {
        VT_destinationsChanged();
    }
    if (std::exchange(sourcesChanged_, false)) {
        VT_sourcesChanged();
    }
    VT_updateContextLines();
}

void VTStatusItemMenuController::VT_destinationsChanged() {
    const QList<VTComputer*> list =
        state_ ? computers(state_->destinations()) : QList<VTComputer*>();
    destinationsView_->setContent(list);
    outboundHeader_->setVisible(!list.isEmpty());
    outboundMenuItem_->setVisible(!list.isEmpty());
    VT_rebuildContextLines();
}

void VTStatusItemMenuController::VT_sourcesChanged() {
    const QList<VTComputer*> list = state_ ? computers(state_->sources()) : QList<VTComputer*>();
    sourcesView_->setContent(list);
    inboundHeader_->setVisible(!list.isEmpty());
    inboundMenuItem_->setVisible(!list.isEmpty());
    VT_rebuildContextLines();
}

void VTStatusItemMenuController::VT_updateProblem() {
    if (!mcp_) {
        return;
    }
    form_->actionProblem->setText(mcp_->problemText());
    form_->actionProblem->setVisible(mcp_->problemVisible());
}

void VTStatusItemMenuController::VT_rebuildContextLines() {
    for (const auto& [row, line] : std::as_const(contextLines_)) {
        delete line;
    }
    contextLines_.clear();
    QList<VTCollectionViewComputerItem*> rows = destinationsView_->items();
    rows.append(sourcesView_->items());
    for (VTCollectionViewComputerItem* row : std::as_const(rows)) {
        auto* line = new QAction(contextMenu_.get());
        line->setEnabled(false);
        contextMenu_->insertAction(contextLinesEnd_, line);
        contextLines_.append({row, line});
    }
    VT_updateContextLines();
}

void VTStatusItemMenuController::VT_updateContextLines() {
    // A text is set only when it changed, so that a tray host drawing this menu over D-Bus
    // hears of real changes only.
    for (const auto& [row, line] : std::as_const(contextLines_)) {
        if (!row || !row->representedObject()) {
            continue;
        }
        const QString text =
            QStringLiteral("%1 \u2014 %2").arg(row->representedObject()->name(), row->statusText());
        if (line->text() != text) {
            line->setText(text);
        }
    }
}

void VTStatusItemMenuController::resizeDetailsTextButtons() {
    for (VTCollectionView* list : {destinationsView_, sourcesView_}) {
        for (VTCollectionViewComputerItem* row : list->items()) {
            row->resizeDetailsButton();
        }
        list->update();
    }
}

void VTStatusItemMenuController::refreshComputerViews() {
    destinationsView_->arrangeSubviews(nullptr);
    sourcesView_->arrangeSubviews(nullptr);
}

void VTStatusItemMenuController::VT_relayoutPanel() {
    // A menu measures its widget items when they change; toggling the list's item makes it
    // measure the new height, and an open menu resizes at once.
    for (QWidgetAction* item : {outboundMenuItem_, inboundMenuItem_}) {
        if (item && item->isVisible()) {
            item->setVisible(false);
            item->setVisible(true);
        }
    }
}
