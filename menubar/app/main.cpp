// VaultorMenuBar: the tray status client of the Vaultor backup service.
//
//   VaultorMenuBar [--headless] [--print-status] [--menu-open] [--hostname=H] [--port=P]
//
// --headless runs the client without tray or panel; --print-status prints one line per state
// update; --menu-open polls as if the status menu were open (full statistics at the
// menu-open interval).
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <memory>

#include "app/MasterControlProgram.h"
#include "app/VTAppWiring.h"
#include "app/VTHeadlessMenuHandler.h"
#include "app/VTStatusPrinter.h"
#include "model/VTVaultorState.h"
#include "ui/VTQtDesktopServices.h"
#include "ui/VTTrayWiring.h"
#include "ui/text/VTTranslationLoader.h"

namespace {

// The plain diagnostic channel is silenced: what the client has to say goes through its
// logger, never through stray library chatter.
void debug_ns_logger(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(debug_ns_logger);
    const bool headless = std::any_of(argv + 1, argv + argc, [](const char* argument) {
        return std::string_view(argument) == "--headless";
    });
    // Without a screen there is no need for the graphical application and what it loads.
    std::unique_ptr<QCoreApplication> instance;
    if (headless) {
        // Qt's own event dispatcher serves sockets and timers alike, without GLib's main
        // context and the memory it touches.
        if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) {
            qputenv("QT_NO_GLIB", "1");
        }
        instance = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        QApplication::setQuitOnLastWindowClosed(false);
        instance = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication& application = *instance;
    QCoreApplication::setApplicationName(QStringLiteral("VaultorMenuBar"));
    VTTranslationLoader::install(QLocale::system());

    QCommandLineParser parser;
    parser.addOption({QStringLiteral("headless"), QStringLiteral("Run without tray or panel.")});
    parser.addOption(
        {QStringLiteral("print-status"), QStringLiteral("Print a line per state update.")});
    parser.addOption(
        {QStringLiteral("menu-open"), QStringLiteral("Poll as if the menu were open.")});
    parser.addOption(
        {QStringLiteral("hostname"), QStringLiteral("Service host."), QStringLiteral("host")});
    parser.addOption(
        {QStringLiteral("port"), QStringLiteral("Service port."), QStringLiteral("port")});
    parser.addHelpOption();
    parser.process(application);

    VTAppWiring::Options options;
    VTHeadlessMenuHandler menuHandler;
    VTQtDesktopServices desktop;
    VTAppWiring wiring;
    if (headless) {
        options.menuHandler = &menuHandler;
        wiring = VTAppWiring::build(&application, options);
    } else {
        wiring = VTTrayWiring::build(&application, options, &desktop).core;
    }
    if (headless && parser.isSet(QStringLiteral("menu-open"))) {
        QObject::connect(wiring.state, &VTVaultorState::isConnectedChanged, &menuHandler,
                         [&menuHandler, state = wiring.state] {
                             const bool connected = state->isConnected();
                             QTimer::singleShot(0, &menuHandler, [&menuHandler, connected] {
                                 menuHandler.setOpen(connected);
                             });
                         });
    }
    if (parser.isSet(QStringLiteral("print-status"))) {
        new VTStatusPrinter(wiring.state, wiring.mcp, &application);
    }
    return application.exec();
}
