#include "BatchRun.h"

#include "support/TestFiles.h"
#include "platform/WorkFolder.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

BatchRun RunBatch(const std::string& arguments) {
    BatchRun run;
    const TWorkFolder scratch;
    const std::string err = (scratch.path() / "stderr").string();
    FILE* pipe =
        popen((std::string(PELTON_BATCH_TOOL) + " " + arguments + " 2>'" + err + "'").c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 256> buffer;
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        run.out += buffer.data();
    run.exitCode = WEXITSTATUS(pclose(pipe));
    run.err = ReadBytes(err);
    return run;
}
