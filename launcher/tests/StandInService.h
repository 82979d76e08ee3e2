#pragma once

#include <string>
#include <vector>

#include "tests/LauncherTestPaths.h"

// The command line of the stand-in service (java/Main.java) and what it prints when it runs.
namespace StandInService {

// Arguments that a launcher which parsed, split, expanded or dropped anything would change.
inline const std::vector<std::string> kAwkwardArguments = {
    "a", "b c", "", "*", "$HOME", "@notafile", "-Dafter=main", "--", "tab\there",
};

// argv[0], a VM option, the class path, the main class, then `arguments`.
inline std::vector<std::string> commandLine(const std::vector<std::string>& vmOptions,
                                            const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {"VaultorService", "-Dvaultor.probe=reached the VM"};
    argv.insert(argv.end(), vmOptions.begin(), vmOptions.end());
    argv.insert(argv.end(), {"-cp", kTestClasses, "Main"});
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

// Everything the program prints after its first line, which names the running executable.
inline std::string reportAfterCommand(const std::vector<std::string>& arguments) {
    std::string report = "probe=reached the VM\nargc=" + std::to_string(arguments.size()) + "\n";
    for (const std::string& arg : arguments) {
        report += "arg=[" + arg + "]\n";
    }
    return report;
}

inline std::string commandOf(const std::string& out) {
    std::string first = out.substr(0, out.find('\n'));
    return first.rfind("command=", 0) == 0 ? first.substr(8) : std::string();
}

inline std::string reportOf(const std::string& out) {
    std::size_t newline = out.find('\n');
    return newline == std::string::npos ? std::string() : out.substr(newline + 1);
}

}  // namespace StandInService
