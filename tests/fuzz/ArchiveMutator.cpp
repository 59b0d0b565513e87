// The archive target's mutator: most mutations change the members' contents and write
// the archive again with correct sizes and CRCs (at a header level of its choosing), so
// that the mutated bytes reach the record readers instead of failing their CRC; the
// rest mutate the archive's own bytes, headers included.
#include "sampleday/LzhWriter.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

struct ArchiveCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};

// The members the archive yields whole, as stored members; empty when none does.
std::vector<LzhMember> membersOf(const std::uint8_t* data, std::size_t size, std::size_t limit) {
    std::vector<LzhMember> members;
    std::unique_ptr<archive, ArchiveCloser> a(archive_read_new());
    archive_read_support_format_lha(a.get());
    if (archive_read_open_memory(a.get(), data, size) != ARCHIVE_OK)
        return members;
    std::size_t total = 0;
    archive_entry* entry = nullptr;
    while (archive_read_next_header(a.get(), &entry) == ARCHIVE_OK) {
        const char* name = archive_entry_pathname(entry);
        LzhMember member(name != nullptr ? name : "", "");
        char buffer[16384];
        la_ssize_t n = 0;
        while ((n = archive_read_data(a.get(), buffer, sizeof buffer)) > 0 && total < limit) {
            member.data.append(buffer, static_cast<std::size_t>(n));
            total += static_cast<std::size_t>(n);
        }
        if (n < 0 || total >= limit)
            break;
        members.push_back(std::move(member));
    }
    return members;
}

} // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    std::minstd_rand random(seed);
    std::vector<LzhMember> members = membersOf(data, size, maxSize);
    if (members.empty() || random() % 8 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);

    LzhMember& chosen = members[random() % members.size()];
    std::string& bytes = chosen.data;
    const std::size_t used = bytes.size();
    bytes.resize(used + used / 8 + 64);
    bytes.resize(
        LLVMFuzzerMutate(reinterpret_cast<std::uint8_t*>(bytes.data()), used, bytes.size()));
    const auto level = static_cast<LzhHeaderLevel>(random() % 3);
    const std::string archive = MakeLzhArchive(members, level);
    if (archive.size() > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memcpy(data, archive.data(), archive.size());
    return archive.size();
}
