#include "cli/BatchOutput.h"

#include "platform/Cp932.h"
#include "platform/Reasons.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

void writeAll(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EPIPE)
            throw EOutputClosed();
        if (n < 0)
            throw EOutputError(sjis("標準出力に書き込めません: ") + SystemReason(errno));
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

void TBatchOutput::write(const std::string& cp932) const {
    if (m_sjis) {
        writeAll(cp932);
        return;
    }
    const std::string text = toUtf8Lenient(cp932);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    writeAll(out);
}

void TBatchOutput::utf8Line(const std::string& utf8) const {
    writeAll(utf8 + "\n");
}
