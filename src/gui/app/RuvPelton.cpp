#include "gui/app/Run.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // read before the application starts, so that --help needs no display
    const TCommandLine commandLine =
        ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (commandLine.Help) {
        std::cout << CommandLineUsage();
        return 0;
    }
    if (commandLine.Version) {
        std::cout << VersionText();
        return 0;
    }
    if (!commandLine.Error.empty()) {
        std::cerr << "ruvpelton: " << commandLine.Error
                  << "\n使い方は ruvpelton --help で表示されます\n";
        return 2;
    }
    QApplication application(argc, argv);
    return RunPelton(ProgramEnvironment(commandLine));
}
