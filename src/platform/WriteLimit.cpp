#include "platform/WriteLimit.h"

#include <algorithm>
#include <mutex>

namespace {

struct TLimit {
    std::mutex mutex;
    std::optional<std::uintmax_t> left;
};

TLimit& limit() {
    static TLimit l;
    return l;
}

} // namespace

void SetWriteLimit(std::optional<std::uintmax_t> bytes) {
    std::lock_guard lock(limit().mutex);
    limit().left = bytes;
}

std::size_t WritableBytes(std::size_t wanted) {
    std::lock_guard lock(limit().mutex);
    std::optional<std::uintmax_t>& left = limit().left;
    if (!left)
        return wanted;
    const auto allowed = static_cast<std::size_t>(std::min<std::uintmax_t>(*left, wanted));
    *left -= allowed;
    return allowed;
}
