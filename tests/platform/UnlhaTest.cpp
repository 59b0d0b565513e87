#include "platform/Unlha.h"
#include "platform/WorkFolder.h"
#include "sampleday/LzhWriter.h"
#include "sampleday/SampleDays.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Extracted {
    int result;
    std::string messages;
};

Extracted extract(const std::string& archive, const TWorkFolder& folder,
                  const std::string& members) {
    std::string command = "e -+c \"" + archive + "\" " + folder.folderText() + " " + members;
    char buffer[10000];
    int result = Unlha(nullptr, command.c_str(), buffer, 9999);
    return {result, buffer};
}

class UnlhaTest : public ::testing::Test {
protected:
    fs::path archivePath(const std::string& name) { return m_archives.path() / name; }
    TWorkFolder m_archives;
    TWorkFolder m_folder;
};

} // namespace

TEST(UnlhaCommandLine, SplitsArchiveFolderAndMembers) {
    UnlhaCommand c = ParseUnlhaCommand("e -+c \"/tmp/a b/x.lzh\" /tmp/w/ ruv_den1.kd2 ruv_uma.kd2");
    EXPECT_EQ(c.archive, "/tmp/a b/x.lzh");
    EXPECT_EQ(c.folder, "/tmp/w/");
    EXPECT_EQ(c.members, (std::vector<std::string>{"ruv_den1.kd2", "ruv_uma.kd2"}));
    EXPECT_THROW(ParseUnlhaCommand("x \"a.lzh\" /tmp/"), std::invalid_argument);
    EXPECT_THROW(ParseUnlhaCommand("e -+c \"a.lzh\" nofolder m"), std::invalid_argument);
    // a requested name with a folder part is never written through that path
    EXPECT_TRUE(ParseUnlhaCommand("e \"a.lzh\" /w/ ../x a/b").members.empty());
}

TEST(WorkFolder, IsPrivateAndRemovedAtTheEnd) {
    fs::path path;
    {
        TWorkFolder folder;
        path = folder.path();
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(folder.folderText().back(), '/');
        std::ofstream(path / "file") << "x";
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(UnlhaTest, ExtractsExactlyTheNamedMembersOfStoredArchivesAtBothHeaderLevels) {
    for (LzhHeaderLevel level : {LzhHeaderLevel::Level0, LzhHeaderLevel::Level2}) {
        std::string data(5000, '\0');
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>(i * 7);
        WriteBinaryFile(
            archivePath("day.lzh"),
            MakeLzhArchive({{"one.kd2", data}, {"two.kd2", "22"}, {"three", "3"}}, level));
        Extracted e = extract(archivePath("day.lzh").string(), m_folder, "one.kd2 three");
        EXPECT_EQ(e.result, 0) << e.messages;
        EXPECT_EQ(readFile(m_folder.path() / "one.kd2"), data);
        EXPECT_EQ(readFile(m_folder.path() / "three"), "3");
        EXPECT_FALSE(fs::exists(m_folder.path() / "two.kd2"));
        fs::remove(m_folder.path() / "one.kd2");
        fs::remove(m_folder.path() / "three");
    }
}

TEST_F(UnlhaTest, MatchesMemberNamesIgnoringCaseAndWritesTheRequestedName) {
    WriteBinaryFile(archivePath("upper.lzh"), MakeLzhArchive({{"RUV_DEN1.KD2", "abc"}}));
    Extracted e = extract(archivePath("upper.lzh").string(), m_folder, "ruv_den1.kd2");
    EXPECT_EQ(e.result, 0) << e.messages;
    EXPECT_EQ(readFile(m_folder.path() / "ruv_den1.kd2"), "abc");
}

TEST_F(UnlhaTest, HostileMemberNamesWriteNothingOutsideTheFolder) {
    WriteBinaryFile(archivePath("hostile.lzh"),
                    MakeLzhArchive({{"../x", "evil"}, {"sub/x", "inner"}, {"/tmp/x", "abs"}}));
    Extracted e = extract(archivePath("hostile.lzh").string(), m_folder, "x");
    EXPECT_EQ(e.result, 0) << e.messages;
    EXPECT_FALSE(fs::exists(m_folder.path().parent_path() / "x"));
    EXPECT_FALSE(fs::exists(m_folder.path() / "sub"));
    // each is the member x without its folder; the last one wins
    EXPECT_EQ(readFile(m_folder.path() / "x"), "abs");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.path()), fs::directory_iterator()), 1);
}

TEST_F(UnlhaTest, ADamagedMemberIsNotWrittenAndTheReasonIsGiven) {
    std::string archive = MakeLzhArchive({{"good", "fine"}, {"bad", std::string(300, 'b')}});
    std::string truncated = archive.substr(0, archive.size() - 100);
    WriteBinaryFile(archivePath("truncated.lzh"), truncated);
    Extracted e = extract(archivePath("truncated.lzh").string(), m_folder, "good bad");
    EXPECT_NE(e.result, 0);
    EXPECT_EQ(readFile(m_folder.path() / "good"), "fine");
    EXPECT_FALSE(fs::exists(m_folder.path() / "bad"));
    EXPECT_NE(e.messages.find("bad"), std::string::npos) << e.messages;

    std::string corrupt = archive;
    corrupt[corrupt.size() - 10] ^= 0x55; // stored data no longer matches its CRC
    WriteBinaryFile(archivePath("crc.lzh"), corrupt);
    fs::remove(m_folder.path() / "good");
    e = extract(archivePath("crc.lzh").string(), m_folder, "bad");
    EXPECT_NE(e.result, 0);
    EXPECT_FALSE(fs::exists(m_folder.path() / "bad"));
    EXPECT_NE(e.messages.find("CRC"), std::string::npos) << e.messages;
}

TEST_F(UnlhaTest, MissingArchiveAndMissingMembersAreReported) {
    Extracted e = extract(archivePath("absent.lzh").string(), m_folder, "a");
    EXPECT_NE(e.result, 0);
    EXPECT_FALSE(e.messages.empty());
    WriteBinaryFile(archivePath("one.lzh"), MakeLzhArchive({{"a", "1"}}));
    e = extract(archivePath("one.lzh").string(), m_folder, "a b");
    EXPECT_NE(e.result, 0);
    EXPECT_NE(e.messages.find("b: not extracted"), std::string::npos);
}

TEST_F(UnlhaTest, TheOutputBufferIsCutToItsSize) {
    char buffer[8];
    std::string command =
        "e \"" + archivePath("absent.lzh").string() + "\" " + m_folder.folderText() + " a";
    Unlha(nullptr, command.c_str(), buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer).size(), 7u);
}

// Archives made once by a real LZH archiver from the small test day's record files.
class CompressedArchives : public ::testing::TestWithParam<const char*> {
protected:
    TWorkFolder m_folder;
};

TEST_P(CompressedArchives, ExtractExactlyTheNamedMembersByteForByte) {
    std::string archive = std::string(PELTON_TEST_DATA) + "/" + GetParam();
    std::vector<LzhMember> expected = DayMembers(SmallTestDay());
    Extracted e = extract(archive, m_folder, "ruv_den2.kd2");
    ASSERT_EQ(e.result, 0) << e.messages;
    EXPECT_EQ(readFile(m_folder.path() / "ruv_den2.kd2"), expected[1].data);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.path()), fs::directory_iterator()), 1);

    e = extract(archive, m_folder, "ruv_den1.kd2 ruv_den2.kd2 ruv_uma.kd2");
    ASSERT_EQ(e.result, 0) << e.messages;
    for (const LzhMember& member : expected)
        EXPECT_EQ(readFile(m_folder.path() / member.name), member.data) << member.name;
}

TEST_P(CompressedArchives, ATruncatedCopyWritesNoDamagedMember) {
    TWorkFolder copies;
    std::string bytes = readFile(std::string(PELTON_TEST_DATA) + "/" + GetParam());
    fs::path truncated = copies.path() / "truncated.lzh";
    WriteBinaryFile(truncated, bytes.substr(0, bytes.size() * 2 / 3));
    Extracted e = extract(truncated.string(), m_folder, "ruv_den1.kd2 ruv_den2.kd2 ruv_uma.kd2");
    EXPECT_NE(e.result, 0);
    EXPECT_FALSE(fs::exists(m_folder.path() / "ruv_uma.kd2"));
    EXPECT_FALSE(e.messages.empty());
    for (const auto& entry : fs::directory_iterator(m_folder.path()))
        EXPECT_EQ(entry.path().filename().string().rfind(".partial", 0), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Lha, CompressedArchives,
                         ::testing::Values("small_day_lh5.lzh", "small_day_lh7_level1.lzh",
                                           "upper_case_members_lh6.lzh"));
