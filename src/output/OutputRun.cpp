#include "output/OutputRun.h"

#include "output/OutputFile.h"
#include "platform/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace fs = std::filesystem;

TOutputRun::~TOutputRun() {
    for (const auto& [file, temporary] : m_working)
        ::unlink(temporary.c_str());
}

bool TOutputRun::Starts(File file, const std::string& key, const fs::path& path) {
    if (!m_started.insert(std::to_string(static_cast<int>(file)) + ":" + key).second)
        return false;
    // found now, while nothing is in place yet, rather than when the run ends
    std::error_code ignored;
    if (fs::is_directory(path, ignored))
        throw InOutError("作成", path, std::strerror(EISDIR));
    TFileBeside temporary = CreateFileBeside(path);
    if (temporary.fd < 0)
        throw InOutError("作成", path, std::strerror(errno));
    ::close(temporary.fd);
    m_working[path] = temporary.path;
    m_files.push_back(path);
    return true;
}

const fs::path& TOutputRun::WorkingFile(const fs::path& path) const {
    return m_working.at(path);
}

TOutputFile TOutputRun::Open(const fs::path& path, bool starts) const {
    return TOutputFile(WorkingFile(path),
                       starts ? TOutputFile::Mode::Recreate : TOutputFile::Mode::Append, path);
}

void TOutputRun::Commit() {
    // every file synced before any is put in place, so a disk that fills up only now
    // still leaves every file as it was
    for (const fs::path& file : m_files)
        if (const int error = SyncFile(m_working.at(file)); error != 0)
            throw InOutError("書き込み", file, std::strerror(error));
    for (const fs::path& file : m_files) {
        if (::rename(m_working.at(file).c_str(), file.c_str()) != 0)
            throw InOutError("置き換え", file, std::strerror(errno));
        m_working.erase(file);
    }
}
