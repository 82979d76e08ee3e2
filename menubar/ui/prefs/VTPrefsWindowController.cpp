#include "ui/prefs/VTPrefsWindowController.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "app/VTUtils.h"

VTPrefsWindowController::VTPrefsWindowController(QObject* parent) : VTLoggingObject(parent) {
    initialize();
}

QStringList VTPrefsWindowController::availableThemeNames() {
    const QVariant themes =
        VTUtils::stringFromDefaultPlist(QStringLiteral("VTKeyIconThemesAvailable"));
    return themes.isValid() ? themes.toString().split(QLatin1Char('|')) : QStringList();
}

void VTPrefsWindowController::initialize() {
    static const bool done = [] {
        const QStringList themes = availableThemeNames();
        if (!themes.isEmpty()) {
            VTUtils::registerDefaults(
                {{QStringLiteral("VTDefaultsKeyIconThemeName"), themes.first()}});
        }
        return true;
    }();
    (void)done;
}

VTPrefsWindowController::~VTPrefsWindowController() {
    delete prefsWindow_;
}

void VTPrefsWindowController::showPrefsWindow() {
    if (!prefsWindow_) {
        prefsWindow_ = new QWidget(nullptr, Qt::Window);
        const QString appName =
            VTUtils::stringFromDefaultPlist(QStringLiteral("kDefaultAppName")).toString();
        prefsWindow_->setWindowTitle(appName + QStringLiteral(" Menu Bar"));
        auto* layout = new QVBoxLayout(prefsWindow_);
        auto* text = new QLabel(tr("The icon theme and starting at login will be chosen here."),
                                prefsWindow_);
        text->setWordWrap(true);
        layout->addWidget(text);
        prefsWindow_->resize(360, 120);
    }
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        QRect frame = prefsWindow_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        prefsWindow_->move(frame.topLeft());
    }
    prefsWindow_->show();
    prefsWindow_->raise();
    prefsWindow_->activateWindow();
}
