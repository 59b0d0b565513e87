#include "session/ProgramFiles.h"

#include "session/Settings.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kName = "ruvpelton";

fs::path environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? fs::path() : fs::path(value);
}

} // namespace

TUserFolders TUserFolders::FromEnvironment() {
    return TUserFolders{environmentPath("HOME"), environmentPath("XDG_CONFIG_HOME"),
                        environmentPath("XDG_CACHE_HOME")};
}

fs::path TUserFolders::ProgramCache() const {
    return (CacheHome.is_absolute() ? CacheHome : Home / ".cache") / kName;
}

TProgramFiles ProgramFilesOf(const fs::path& programFile, const TUserFolders& user) {
    const fs::path program = fs::absolute(programFile).lexically_normal();
    const fs::path shared = program.parent_path().parent_path() / "share" / kName;
    std::error_code ec;
    const bool installed =
        program.parent_path().filename() == "bin" && fs::is_directory(shared, ec);
    const fs::path sample = (installed ? shared : program.parent_path()) / "sample";
    if (!installed || !user.Home.is_absolute())
        return TProgramFiles{SettingsFilePath(program),
                             fs::path(program).replace_extension(".html"), FolderText(program),
                             sample};
    const fs::path config = user.ConfigHome.is_absolute() ? user.ConfigHome : user.Home / ".config";
    return TProgramFiles{config / kName / (std::string(kName) + ".ini"),
                         shared / (std::string(kName) + ".html"),
                         (user.Home.lexically_normal() / "").string(), sample};
}
