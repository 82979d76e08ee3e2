#pragma once

#include <QCoreApplication>
#include <QString>
#include <initializer_list>
#include <memory>
#include <string_view>

class MasterControlProgram;
class VTLogger;
class VTVaultorState;

// What the client's two programs share: the tray client and the headless one, which links no
// graphical library at all so that a client without a screen does not carry their memory.
namespace VTClientProgram {

// The name both programs log and keep their settings under.
inline constexpr const char* kName = "VaultorMenuBar";
// The headless program: beside the tray client in a build, in the package's libexec folder
// once installed.
inline constexpr const char* kHeadlessProgram = "VaultorMenuBar-headless";

const VTLogger& log();

// Qt's own messages: its debug chatter is dropped, its warnings go to the client's log at fine
// level, its critical and fatal messages at severe; `onFatal`, when given, runs after a fatal
// one is logged.
void installMessageHandler(void (*onFatal)(const QString& message));

bool hasArgument(int argc, char** argv, std::initializer_list<std::string_view> names);

// The application of a client without a screen.
std::unique_ptr<QCoreApplication> headlessApplication(int& argc, char** argv);

struct CommandLine {
    bool printStatus = false;
    bool menuOpen = false;
};
// Names the application, installs the translations of the user's language and reads the
// command line; --help and --help-all print and end the program. Options the client does not
// know are ignored with a warning.
CommandLine start(QCoreApplication& application);

// Prints a line per state update when the command line asks for it.
void printStatusWhenAsked(const CommandLine& commandLine, VTVaultorState* state,
                          MasterControlProgram* mcp, QObject* owner);

// Runs the client without tray or panel until it quits; returns its exit status.
int runHeadless(QCoreApplication& application, const CommandLine& commandLine);

}  // namespace VTClientProgram
