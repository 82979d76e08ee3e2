#include "ui/prefs/VTPrefsWindowController.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include "app/VTLaunchOnLoginSetting.h"
#include "app/VTLogger.h"
#include "app/VTStatusNotifier.h"
#include "app/VTUtils.h"
#include "platform/VTUserDefaults.h"
#include "ui/icon/VTThemeNameTransformer.h"
#include "ui_VTPrefsWindow.h"

namespace {

const QString kThemeKey = QStringLiteral("VTDefaultsKeyIconThemeName");
const QString kLaunchKey = QStringLiteral("LaunchOnLogin");

}  // namespace

VTPrefsWindowController::VTPrefsWindowController(QObject* parent) : VTLoggingObject(parent) {
    initialize();
}

VTPrefsWindowController::~VTPrefsWindowController() = default;

QStringList VTPrefsWindowController::availableThemeNames() {
    const QVariant themes =
        VTUtils::stringFromDefaultPlist(QStringLiteral("VTKeyIconThemesAvailable"));
    return themes.isValid() ? themes.toString().split(QLatin1Char('|')) : QStringList();
}

void VTPrefsWindowController::initialize() {
    static const bool done = [] {
        registerThemeDefault();
        return true;
    }();
    (void)done;
}

void VTPrefsWindowController::registerThemeDefault() {
    const QStringList themes = availableThemeNames();
    if (!themes.isEmpty()) {
        VTUtils::registerDefaults({{kThemeKey, themes.first()}});
    }
}

void VTPrefsWindowController::awakeFromNib() {
    prefsWindow_ = std::make_unique<QWidget>(nullptr, Qt::Window);
    form_ = std::make_unique<Ui::VTPrefsWindow>();
    form_->setupUi(prefsWindow_.get());

    titleBarText_ = VTUtils::stringFromDefaultPlist(QStringLiteral("kDefaultAppName")).toString() +
                    QStringLiteral(" Menu Bar");
    if (VTDebugEnabled) {
        titleBarText_ +=
            QStringLiteral(" - Build #: %1")
                .arg(VTUtils::stringFromDefaultPlist(QStringLiteral("VTBuildID")).toString());
    }
    prefsWindow_->setWindowTitle(titleBarText_);

    iconThemePlistNames_ = VTThemeNameTransformer::themePlistNames();
    iconThemeDisplayNames_ = VTThemeNameTransformer::themeDisplayNames();
    VT_growForThemes();
    VT_bindControls();
    QObject::connect(VTUtils::userDefaults(), &VTUserDefaults::valueChanged, this,
                     &VTPrefsWindowController::VT_defaultChanged);
}

void VTPrefsWindowController::VT_growForThemes() {
    QWidget* window = prefsWindow_.get();
    // The designed size, or what the designed cells need when the desktop's fonts are larger.
    window->ensurePolished();
    const int designedHeight = std::max(window->height(), window->minimumSizeHint().height());

    matrix_ = new QButtonGroup(window);
    QList<QRadioButton*> cells{form_->themeCell0, form_->themeCell1};
    const qsizetype designedCells = cells.size();
    for (qsizetype i = designedCells; i < iconThemeDisplayNames_.size(); ++i) {
        auto* cell = new QRadioButton(form_->themeBox);
        cell->setObjectName(QStringLiteral("themeCell%1").arg(i));
        form_->matrix->addWidget(cell);
        cells.append(cell);
    }
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const bool used = i < iconThemeDisplayNames_.size();
        cells[i]->setVisible(used);
        if (used) {
            cells[i]->setText(iconThemeDisplayNames_[i]);
            matrix_->addButton(cells[i], static_cast<int>(i));
        }
    }

    // The window's layout measured the box with its two cells; it measures it again now,
    // not only once the event loop runs.
    form_->matrix->activate();
    form_->themeBox->updateGeometry();
    window->layout()->activate();

    int spacing = form_->matrix->spacing();
    if (spacing < 0) {
        spacing = window->style()->layoutSpacing(QSizePolicy::RadioButton, QSizePolicy::RadioButton,
                                                 Qt::Vertical);
    }
    const int cellHeight = form_->themeCell0->sizeHint().height();
    const auto extraRows = static_cast<int>(iconThemeDisplayNames_.size() - designedCells);
    window->resize(window->width(), designedHeight + (cellHeight + spacing) * extraRows);
}

void VTPrefsWindowController::VT_bindControls() {
    VT_showStoredTheme();
    QObject::connect(matrix_, &QButtonGroup::idClicked, this, [this](int id) {
        VTUtils::userDefaults()->setObject(iconThemePlistNames_.value(id), kThemeKey);
    });

    form_->launchOnLogin->setChecked(VTUtils::userDefaultsBool(kLaunchKey));
    QObject::connect(form_->launchOnLogin, &QCheckBox::clicked, this, [this](bool checked) {
        VTUtils::userDefaults()->setObject(checked ? QStringLiteral("YES") : QStringLiteral("NO"),
                                           kLaunchKey);
        changeLaunchOnLogin(form_->launchOnLogin);
    });

    const QString notices = VTStatusNotifier::kShowNotificationsKey;
    form_->showNotifications->setChecked(VTUtils::userDefaultsBool(notices));
    QObject::connect(form_->showNotifications, &QCheckBox::clicked, this, [notices](bool checked) {
        VTUtils::userDefaults()->setObject(checked ? QStringLiteral("YES") : QStringLiteral("NO"),
                                           notices);
    });
}

void VTPrefsWindowController::VT_showStoredTheme() {
    const QString stored = VTUtils::userDefaults()->stringForKey(kThemeKey);
    const QString display = VTThemeNameTransformer::transformedValue(stored);
    QAbstractButton* cell =
        matrix_->button(static_cast<int>(iconThemeDisplayNames_.indexOf(display)));
    if (cell) {
        cell->setChecked(true);
        return;
    }
    // A theme the window does not list: no cell is chosen.
    matrix_->setExclusive(false);
    for (QAbstractButton* button : matrix_->buttons()) {
        button->setChecked(false);
    }
    matrix_->setExclusive(true);
}

void VTPrefsWindowController::VT_defaultChanged(const QString& key) {
    if (key == kThemeKey) {
        log()->info(QStringLiteral("\n\n\nTheme's changing, boss: %1\n\n")
                        .arg(VTUtils::userDefaults()->stringForKey(kThemeKey)));
        VT_showStoredTheme();
    } else if (key == kLaunchKey) {
        form_->launchOnLogin->setChecked(VTUtils::userDefaultsBool(kLaunchKey));
    } else if (key == VTStatusNotifier::kShowNotificationsKey) {
        form_->showNotifications->setChecked(VTUtils::userDefaultsBool(key));
    }
}

void VTPrefsWindowController::changeLaunchOnLogin(QAbstractButton* sender) {
    if (!sender || !sender->isCheckable() || !prefsController_) {
        return;
    }
    const auto* box = qobject_cast<QCheckBox*>(sender);
    const bool off = box ? box->checkState() == Qt::Unchecked : !sender->isChecked();
    prefsController_->setLaunchOnLogin(!off);
}

void VTPrefsWindowController::showPrefsWindow() {
    if (!prefsWindow_) {
        awakeFromNib();
    }
    QWidget* window = prefsWindow_.get();
    window->hide();
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}
