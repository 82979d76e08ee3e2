// VaultorMenuBar: the tray status client of the Vaultor backup service.
//
//   VaultorMenuBar [--headless] [--print-status] [--menu-open] [--hostname H] [--port P]
//
// --headless runs the client without tray or panel; --print-status prints one line per state
// update; --menu-open polls as if the status menu were open (full statistics at the
// menu-open interval). "--hostname=H" and "--port=P" work as well. Options the client does not
// know are ignored with a warning. Without a display and without --headless the client ends
// with status 2.
#include <unistd.h>

#include <QApplication>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/VTAppWiring.h"
#include "app/VTClientProgram.h"
#include "app/VTLogger.h"
#include "ui/VTQtDesktopServices.h"
#include "ui/VTTrayWiring.h"

namespace {

constexpr int kExitNoDisplay = 2;

// Set while the graphical application connects to the display: a fatal message from Qt then
// means that there is no display to be had.
std::atomic<bool> startingOnTheDisplay{false};

// Qt's own reason, when it gave one, comes first on standard error, so that whoever started the
// client sees why the display named could not be had.
[[noreturn]] void exitForWantOfADisplay(const QString& reason = QString()) {
    const QString message =
        QStringLiteral("no display; start with --headless, or set DISPLAY or WAYLAND_DISPLAY");
    if (!reason.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(reason));
    }
    std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    std::fflush(stderr);
    VTClientProgram::log().severe(message);  // severe lines reach the log before this returns
    std::_Exit(kExitNoDisplay);
}

void onFatalMessage(const QString& message) {
    if (startingOnTheDisplay) {
        exitForWantOfADisplay(message);
    }
}

// Whether the graphical application has somewhere to go: a display, or a platform chosen
// by name (offscreen, for one).
bool displayIsNamed() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// A headless client becomes the headless program, with the same arguments (so the same name in
// its log lines), and leaves the graphical libraries this program loaded behind. Returns only
// where there is no such program, and the client then runs headless in this one.
void becomeTheHeadlessProgram(char** argv) {
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    if (error) {
        return;
    }
    for (const std::filesystem::path& program :
         {folder / VTClientProgram::kHeadlessProgram,
          folder / VT_HEADLESS_PROGRAM_FROM_BINDIR / VTClientProgram::kHeadlessProgram}) {
        if (::access(program.c_str(), X_OK) == 0) {
            ::execv(program.c_str(), argv);
            VTClientProgram::log().fine(
                QStringLiteral("%1 could not be started; the client runs headless in this program")
                    .arg(QString::fromStdString(program.string())));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    VTClientProgram::installMessageHandler(onFatalMessage);
    const bool headless = VTClientProgram::hasArgument(argc, argv, {"--headless"});
    const bool helpOnly = VTClientProgram::hasArgument(argc, argv, {"--help", "-h", "--help-all"});
    if (headless && !helpOnly) {
        becomeTheHeadlessProgram(argv);
    }
    if (headless || helpOnly) {
        const auto application = VTClientProgram::headlessApplication(argc, argv);
        return VTClientProgram::runHeadless(*application, VTClientProgram::start(*application));
    }
    if (!displayIsNamed()) {
        exitForWantOfADisplay();
    }
    QApplication::setQuitOnLastWindowClosed(false);
    startingOnTheDisplay = true;
    QApplication application(argc, argv);
    startingOnTheDisplay = false;
    const VTClientProgram::CommandLine commandLine = VTClientProgram::start(application);

    VTQtDesktopServices desktop;
    const VTTrayWiring tray = VTTrayWiring::build(&application, {}, &desktop);
    tray.startDesktopWatches();
    VTClientProgram::printStatusWhenAsked(commandLine, tray.core.state, tray.core.mcp,
                                          &application);
    return application.exec();
}
