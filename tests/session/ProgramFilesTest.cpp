#include "session/ProgramFiles.h"

#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// A build folder keeps everything beside the program; an installed tree (PREFIX/bin with
// PREFIX/share/ruvpelton) writes the settings into the user's config folder.
TEST(ProgramFiles, BesideTheProgramUnlessItIsInstalled) {
    TWorkFolder root;
    const fs::path r = root.path();
    fs::create_directories(r / "usr/bin");
    fs::create_directories(r / "usr/share/ruvpelton");
    fs::create_directories(r / "build/bin");
    fs::create_directories(r / "opt/bin");
    const struct {
        const char* program;
        TUserFolders user;
        const char* settings;
        const char* help;
        const char* folder;
        const char* sample;
    } cases[] = {
        {"build/bin/ruvpelton",
         {"/home/u", "", ""},
         "build/bin/ruvpelton.ini",
         "build/bin/ruvpelton.html",
         "build/bin/",
         "build/bin/sample"},
        // a bin folder without the shared files is a folder the program was copied to
        {"opt/bin/ruvpelton",
         {"/home/u", "", ""},
         "opt/bin/ruvpelton.ini",
         "opt/bin/ruvpelton.html",
         "opt/bin/",
         "opt/bin/sample"},
        {"usr/bin/ruvpelton",
         {"/home/u", "", ""},
         "/home/u/.config/ruvpelton/ruvpelton.ini",
         "usr/share/ruvpelton/ruvpelton.html",
         "/home/u/",
         "usr/share/ruvpelton/sample"},
        {"usr/bin/../bin/ruvpelton",
         {"/home/u", "/x/cfg", ""},
         "/x/cfg/ruvpelton/ruvpelton.ini",
         "usr/share/ruvpelton/ruvpelton.html",
         "/home/u/",
         "usr/share/ruvpelton/sample"},
        // a relative XDG_CONFIG_HOME is ignored, as the XDG rules say
        {"usr/bin/ruvpelton",
         {"/home/u", "cfg", ""},
         "/home/u/.config/ruvpelton/ruvpelton.ini",
         "usr/share/ruvpelton/ruvpelton.html",
         "/home/u/",
         "usr/share/ruvpelton/sample"},
        // without a home there is nowhere else to write
        {"usr/bin/ruvpelton",
         {"", "", ""},
         "usr/bin/ruvpelton.ini",
         "usr/bin/ruvpelton.html",
         "usr/bin/",
         "usr/share/ruvpelton/sample"},
    };
    auto at = [&r](const char* path) { return path[0] == '/' ? fs::path(path) : r / path; };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        const TProgramFiles files = ProgramFilesOf(r / c.program, c.user);
        EXPECT_EQ(files.SettingsFile, at(c.settings));
        EXPECT_EQ(files.HelpFile, at(c.help));
        EXPECT_EQ(files.DefaultFolder, at(c.folder).string());
        EXPECT_EQ(files.SampleFolder, at(c.sample));
    }
}
