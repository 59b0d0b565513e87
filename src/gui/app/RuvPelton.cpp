#include "gui/app/Run.h"

#include <QApplication>
#include <QLocale>

#include <cstdlib>
#include <iostream>
#include <locale.h>
#include <optional>
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
    // The file dialogs write dates as the system's locale says, which Qt reads from the
    // environment once: Japanese whatever LANG says. The C library's locale is then set
    // again from the user's own environment, since a Japanese locale it does not have
    // would have left it at C.
    const char* userTime = std::getenv("LC_TIME");
    const std::optional<std::string> previous =
        userTime ? std::optional<std::string>(userTime) : std::nullopt;
    setenv("LC_TIME", "ja_JP.UTF-8", 1);
    QApplication application(argc, argv);
    (void)QLocale::system();
    if (previous)
        setenv("LC_TIME", previous->c_str(), 1);
    else
        unsetenv("LC_TIME");
    setlocale(LC_ALL, "");
    return RunPelton(ProgramEnvironment(commandLine));
}
