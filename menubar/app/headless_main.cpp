// VaultorMenuBar-headless: the tray client without tray or panel, a program that links no
// graphical library. `VaultorMenuBar --headless` becomes this program; it takes the same
// options.
#include "app/VTClientProgram.h"

int main(int argc, char** argv) {
    VTClientProgram::installMessageHandler(nullptr);
    const auto application = VTClientProgram::headlessApplication(argc, argv);
    return VTClientProgram::runHeadless(*application, VTClientProgram::start(*application));
}
