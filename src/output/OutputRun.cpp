#include "output/OutputRun.h"

namespace fs = std::filesystem;

bool TOutputRun::Starts(File file, const std::string& key, const fs::path& path) {
    if (!m_started.insert(std::to_string(static_cast<int>(file)) + ":" + key).second)
        return false;
    m_files.Add(path);
    return true;
}

const fs::path& TOutputRun::WorkingFile(const fs::path& path) const {
    return m_files.Beside(path);
}

TOutputFile TOutputRun::Open(const fs::path& path, bool starts) const {
    return TOutputFile(WorkingFile(path),
                       starts ? TOutputFile::Mode::Recreate : TOutputFile::Mode::Append, path);
}
