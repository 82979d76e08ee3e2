#include "ui/menu/VTStatusWindow.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/VTUtils.h"
#include "model/VTDestination.h"
#include "model/VTSource.h"
#include "ui/menu/VTCollectionView.h"
#include "ui/menu/VTCollectionViewComputerItem.h"
#include "ui_VTStatusWindow.h"

namespace {

template <class Computer>
QList<VTComputer*> computers(const QList<Computer*>& list) {
    return QList<VTComputer*>(list.begin(), list.end());
}

}  // namespace

VTStatusWindow::VTStatusWindow(QObject* parent) : VTLoggingObject(parent) {}

VTStatusWindow::~VTStatusWindow() = default;

void VTStatusWindow::awakeFromNib() {
    window_ = std::make_unique<QWidget>(nullptr, Qt::Window);
    form_ = std::make_unique<Ui::VTStatusWindow>();
    form_->setupUi(window_.get());
    window_->setWindowTitle(
        VTUtils::stringFromDefaultPlist(QStringLiteral("kDefaultAppName")).toString() +
        QStringLiteral(" Menu Bar"));

    QFont header = form_->outboundHeader->font();
    header.setBold(true);
    form_->outboundHeader->setFont(header);
    form_->inboundHeader->setFont(header);
    destinationsView_ = VT_makeList();
    sourcesView_ = VT_makeList();
    QVBoxLayout* rows = form_->rowsLayout;
    rows->insertWidget(rows->indexOf(form_->outboundHeader) + 1, destinationsView_);
    rows->insertWidget(rows->indexOf(form_->inboundHeader) + 1, sourcesView_);

    if (actions_.pauseMenu) {
        form_->pauseButton->setText(actions_.pauseMenu->title());
        form_->pauseButton->setMenu(actions_.pauseMenu);
    }
    const std::pair<QToolButton*, QAction*> buttons[] = {
        {form_->resumeButton, actions_.resume},
        {form_->openAppButton, actions_.openApp},
        {form_->accountButton, actions_.account},
        {form_->preferencesButton, actions_.preferences},
        {form_->quitButton, actions_.quit}};
    for (const auto& [button, action] : buttons) {
        button->setVisible(action != nullptr);
        if (action) {
            button->setDefaultAction(action);
        }
    }

    if (state_) {
        QObject::connect(state_, &VTVaultorState::lastUpdatedChanged, this, [this] {
            if (window_->isVisible()) {
                VT_refresh();
            }
        });
    }
    if (mcp_) {
        QObject::connect(mcp_, &MasterControlProgram::problemChanged, this,
                         &VTStatusWindow::VT_updateProblem);
    }
    VT_updateProblem();
    window_->installEventFilter(this);
}

VTCollectionView* VTStatusWindow::VT_makeList() {
    auto* list = new VTCollectionView(form_->rows);
    auto* prototype = new VTCollectionViewComputerItem(list);
    prototype->setPlayPauseAction([this](qint64 guid) {
        if (mcp_) {
            mcp_->playPauseComputer(guid);
        }
    });
    list->setItemPrototype(prototype);
    return list;
}

bool VTStatusWindow::eventFilter(QObject* watched, QEvent* event) {
    // Shown and hidden also when the desktop minimises and restores the window.
    if (watched == window_.get() &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        const bool shown = event->type() == QEvent::Show;
        if (shown) {
            VT_refresh();
        }
        if (handler_ && handler_->isMenuOpen() != shown) {
            handler_->setIsMenuOpen(shown);
        }
    }
    return VTLoggingObject::eventFilter(watched, event);
}

void VTStatusWindow::VT_refresh() {
    const QList<VTComputer*> destinations =
        state_ ? computers(state_->destinations()) : QList<VTComputer*>();
    const QList<VTComputer*> sources = state_ ? computers(state_->sources()) : QList<VTComputer*>();
    destinationsView_->setContent(destinations);
    sourcesView_->setContent(sources);
    form_->outboundHeader->setVisible(!destinations.isEmpty());
    destinationsView_->setVisible(!destinations.isEmpty());
    form_->inboundHeader->setVisible(!sources.isEmpty());
    sourcesView_->setVisible(!sources.isEmpty());
}

void VTStatusWindow::VT_updateProblem() {
    const bool visible = mcp_ && mcp_->problemVisible();
    form_->problem->setVisible(visible);
    form_->problem->setText(visible ? mcp_->problemText() : QString());
}
