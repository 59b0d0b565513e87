#include "platform/Unlha.h"

#include "support/TestFiles.h"
#include "platform/WorkFolder.h"
#include "platform/WriteLimit.h"
#include "sampleday/LzhWriter.h"
#include "sampleday/SampleDays.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

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

// Whatever the paths hold, the archiver reads back the paths it was given.
TEST(UnlhaCommandLine, KeepsEveryPathWhole) {
    const UnlhaCommand cases[] = {
        {"/tmp/a b/day.lzh", "/tmp/a b/ruvpelton-x/", {"ruv_den1.kd2"}},
        {"/home/u/say \"hi\"/rv010128.lzh", "/tmp/w/", {"ruv_den1.kd2", "ruv_uma.kd2"}},
        {"\"", "/tmp/\"\"/", {"a\"b", "c d"}},
        {"-x.lzh", "/tmp/ two  blanks /", {"oz010128.txt"}},
        {"", "/", {}},
    };
    for (const UnlhaCommand& c : cases) {
        const std::string line = UnlhaCommandLine(c.archive, c.folder, c.members);
        const UnlhaCommand parsed = ParseUnlhaCommand(line);
        EXPECT_EQ(parsed.archive, c.archive) << line;
        EXPECT_EQ(parsed.folder, c.folder) << line;
        EXPECT_EQ(parsed.members, c.members) << line;
    }
    // the form of the data service's tools where nothing needs quotes
    EXPECT_EQ(UnlhaCommandLine("/d/x.lzh", "/w/", {"a", "b"}), "e -+c \"/d/x.lzh\" /w/ a b");
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
        EXPECT_EQ(ReadBytes(m_folder.path() / "one.kd2"), data);
        EXPECT_EQ(ReadBytes(m_folder.path() / "three"), "3");
        EXPECT_FALSE(fs::exists(m_folder.path() / "two.kd2"));
        fs::remove(m_folder.path() / "one.kd2");
        fs::remove(m_folder.path() / "three");
    }
}

TEST_F(UnlhaTest, MatchesMemberNamesIgnoringCaseAndWritesTheRequestedName) {
    WriteBinaryFile(archivePath("upper.lzh"), MakeLzhArchive({{"RUV_DEN1.KD2", "abc"}}));
    Extracted e = extract(archivePath("upper.lzh").string(), m_folder, "ruv_den1.kd2");
    EXPECT_EQ(e.result, 0) << e.messages;
    EXPECT_EQ(ReadBytes(m_folder.path() / "ruv_den1.kd2"), "abc");
}

TEST_F(UnlhaTest, OneDamagedMemberLosesNoOtherMember) {
    std::string archive =
        MakeLzhArchive({{"first", "one"}, {"bad", std::string(300, 'b')}, {"last", "three"}});
    archive[archive.find(std::string(300, 'b')) + 10] ^= 0x55; // no longer matches its CRC
    WriteBinaryFile(archivePath("crc.lzh"), archive);
    Extracted e = extract(archivePath("crc.lzh").string(), m_folder, "first bad last");
    EXPECT_EQ(e.result, 1);
    EXPECT_EQ(e.messages, J(archivePath("crc.lzh").string() +
                            " の bad: データのCRCが合いません (LHa data CRC error)\n"));
    EXPECT_EQ(ReadBytes(m_folder.path() / "first"), "one");
    EXPECT_EQ(ReadBytes(m_folder.path() / "last"), "three");
    EXPECT_EQ(FolderEntries(m_folder.path()), (std::vector<std::string>{"first", "last"}));
}

TEST_F(UnlhaTest, MissingArchiveAndMissingMembersAreReported) {
    Extracted e = extract(archivePath("absent.lzh").string(), m_folder, "a");
    EXPECT_EQ(e.result, 1);
    EXPECT_EQ(e.messages, J(archivePath("absent.lzh").string() +
                            " を開けません: ファイルまたはフォルダがありません (No such file or "
                            "directory)\n"));
    WriteBinaryFile(archivePath("one.lzh"), MakeLzhArchive({{"a", "1"}}));
    e = extract(archivePath("one.lzh").string(), m_folder, "a b");
    EXPECT_EQ(e.result, 1);
    EXPECT_EQ(e.messages, J("b は " + archivePath("one.lzh").string() + " にありません\n"));
}

// Archives made by hand as an attacker would make them, at each header level, each with
// an intact member after the hostile one. The hostile member is never written, the
// reason names it, the intact one is written, and nothing appears outside the folder.
struct HostileCase {
    const char* name;
    std::function<std::vector<LzhMember>(const fs::path& box)> hostile;
    const char* message; // {A} stands for the archive
};

class HostileArchives : public ::testing::TestWithParam<std::tuple<HostileCase, LzhHeaderLevel>> {};

LzhMember member(std::string name, std::string data,
                 const std::function<void(LzhMember&)>& change = {}) {
    LzhMember m(std::move(name), std::move(data));
    if (change)
        change(m);
    return m;
}

const HostileCase kHostileCases[] = {
    {"ParentFolder", [](const fs::path&) { return std::vector{member("../ruv_den1.kd2", "x")}; },
     "{A} の ruv_den1.kd2: 展開先のフォルダの外を指すパスで格納されています\n"},
    {"AbsolutePath",
     [](const fs::path& box) {
         return std::vector{member((box / "outside" / "ruv_den1.kd2").string(), "x")};
     },
     "{A} の ruv_den1.kd2: 展開先のフォルダの外を指すパスで格納されています\n"},
    {"SymbolicLink",
     [](const fs::path& box) {
         return std::vector{
             member("ruv_den1.kd2|" + (box / "target").string(), "", [](LzhMember& m) {
                 m.method = "-lhd-";
                 m.unixMode = 0120777;
             })};
     },
     "{A} の ruv_den1.kd2: ファイルではなくリンクです\n"},
    {"LinkWithoutItsTarget",
     [](const fs::path&) {
         return std::vector{member("ruv_den1.kd2", "", [](LzhMember& m) {
             m.method = "-lhd-";
             m.unixMode = 0120777;
         })};
     },
     "アーカイブが壊れています (Unknown symlink-name)\nruv_den1.kd2 は {A} にありません\n"},
    {"Folder",
     [](const fs::path&) {
         return std::vector{member("ruv_den1.kd2", "", [](LzhMember& m) { m.method = "-lhd-"; })};
     },
     "{A} の ruv_den1.kd2: ファイルではありません\n"},
    {"TwoOfTheSameName",
     [](const fs::path&) {
         return std::vector{member("ruv_den1.kd2", "first"), member("RUV_DEN1.KD2", "second")};
     },
     "{A} の ruv_den1.kd2: アーカイブにこの名前のファイルが二つあります\n"},
    {"ControlBytesInTheName",
     [](const fs::path&) { return std::vector{member("ruv_den1.kd2\x1b[2J\x07", "x")}; },
     "ruv_den1.kd2 は {A} にありません\n"},
    {"DataBeyondItsDeclaredSize",
     [](const fs::path&) {
         return std::vector{member("ruv_den1.kd2", std::string(5000, 'x'),
                                   [](LzhMember& m) { m.declaredSize = 10; })};
     },
     "{A} の ruv_den1.kd2: ヘッダにある 10 バイトより多くのデータがあります\n"},
    {"DeclaredSizeAboveTheCap",
     [](const fs::path&) {
         return std::vector{
             member("ruv_den1.kd2", "x", [](LzhMember& m) { m.declaredSize = 100u << 20; })};
     },
     "{A} の ruv_den1.kd2: 104857600 バイトで、1つのファイルの上限 32 MiB を超えています\n"},
};

TEST_P(HostileArchives, WriteOnlyTheIntactMemberInsideTheFolder) {
    const auto& [c, level] = GetParam();
    TWorkFolder box;
    const fs::path work = box.path() / "work";
    fs::create_directory(work);
    std::vector<LzhMember> members = c.hostile(box.path());
    members.push_back(member("ruv_den2.kd2", "intact"));
    WriteBinaryFile(box.path() / "day.lzh", MakeLzhArchive(members, level));

    std::string messages;
    const int result = ExtractArchive(
        ParseUnlhaCommand(UnlhaCommandLine((box.path() / "day.lzh").string(), (work / "").string(),
                                           {"ruv_den1.kd2", "ruv_den2.kd2"})),
        TExtractLimits{}, messages);
    EXPECT_EQ(result, 1);
    std::string expected = c.message;
    expected.replace(expected.find("{A}"), 3, (box.path() / "day.lzh").string());
    EXPECT_EQ(messages, J(expected));
    EXPECT_EQ(ReadBytes(work / "ruv_den2.kd2"), "intact");
    // read into memory instead: the same reasons and the same member
    const TMemberImages read =
        ExtractMembersInMemory((box.path() / "day.lzh").string(), {"ruv_den1.kd2", "ruv_den2.kd2"});
    EXPECT_EQ(read.messages, J(expected));
    EXPECT_EQ(read.images, (std::vector<std::optional<std::string>>{std::nullopt, "intact"}));
    std::vector<std::string> everything;
    for (const auto& entry : fs::recursive_directory_iterator(box.path()))
        everything.push_back(fs::relative(entry.path(), box.path()).string());
    std::sort(everything.begin(), everything.end());
    EXPECT_EQ(everything, (std::vector<std::string>{"day.lzh", "work", "work/ruv_den2.kd2"}));
}

INSTANTIATE_TEST_SUITE_P(Lzh, HostileArchives,
                         ::testing::Combine(::testing::ValuesIn(kHostileCases),
                                            ::testing::Values(LzhHeaderLevel::Level0,
                                                              LzhHeaderLevel::Level1,
                                                              LzhHeaderLevel::Level2)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "Level" +
                                    std::to_string(static_cast<int>(std::get<1>(info.param)));
                         });

// Archives that cannot be read as a whole: the reason is the archive's, and the members
// before the damage are written.
TEST_F(UnlhaTest, BrokenArchivesSayWhatIsWrong) {
    const std::string good = MakeLzhArchive({{"a", "first"}, {"b", std::string(200, 'b')}});
    const std::string secondHeader = MakeLzhArchive({{"b", std::string(200, 'b')}});
    struct Case {
        const char* name;
        std::string bytes;
        std::string messages; // after the archive's name
        std::vector<std::string> written;
    };
    const std::string archive = archivePath("broken.lzh").string();
    const Case cases[] = {
        {"empty", "", archive + " はLZHアーカイブではありません\n", {}},
        {"zip",
         std::string("PK\x03\x04", 4) + std::string(100, 'z'),
         archive + " はLZHアーカイブではありません\n",
         {}},
        {"text", std::string(300, 'a'), archive + " はLZHアーカイブではありません\n", {}},
        {"header cut",
         good.substr(0, good.size() - secondHeader.size() + 10),
         "データが途中で切れています (Truncated LHa header)\n",
         {"a"}},
        {"data cut",
         good.substr(0, good.size() - 50),
         archive + " の b: データが途中で切れています (Truncated LHa file data)\n",
         {"a"}},
    };
    for (const Case& c : cases) {
        TWorkFolder folder;
        WriteBinaryFile(archive, c.bytes);
        Extracted e = extract(archive, folder, "a b");
        EXPECT_EQ(e.result, 1) << c.name;
        EXPECT_EQ(e.messages, J(c.messages)) << c.name;
        EXPECT_EQ(FolderEntries(folder.path()), c.written) << c.name;
        const TMemberImages read = ExtractMembersInMemory(archive, {"a", "b"});
        EXPECT_EQ(read.messages, J(c.messages)) << c.name;
        EXPECT_EQ(read.images[0].has_value(), !c.written.empty()) << c.name;
        EXPECT_FALSE(read.images[1]) << c.name;
    }
}

TEST_F(UnlhaTest, OneArchiveWritesNoMoreThanItsLimit) {
    WriteBinaryFile(archivePath("big.lzh"), MakeLzhArchive({{"a", std::string(100, 'a')},
                                                            {"b", std::string(100, 'b')},
                                                            {"c", std::string(100, 'c')},
                                                            {"d", std::string(101, 'd')}}));
    std::string messages;
    const int result = ExtractArchive(
        ParseUnlhaCommand(UnlhaCommandLine(archivePath("big.lzh").string(), m_folder.folderText(),
                                           {"a", "b", "c", "d"})),
        TExtractLimits{100, 250}, messages);
    EXPECT_EQ(result, 1);
    const std::string archive = archivePath("big.lzh").string();
    EXPECT_EQ(messages, J(archive +
                          " の c: 展開するファイルの合計が、1つのアーカイブの上限 250 "
                          "バイト を超えます\n" +
                          archive +
                          " の d: 101 バイトで、1つのファイルの上限 100 バイト を超えて"
                          "います\n"));
    EXPECT_EQ(FolderEntries(m_folder.path()), (std::vector<std::string>{"a", "b"}));
}

// A full disk under the work folder is named with the file that could not be written.
TEST_F(UnlhaTest, AFullDiskNamesTheFileInTheWorkFolder) {
    WriteBinaryFile(archivePath("day.lzh"), MakeLzhArchive({{"a", std::string(100, 'a')}}));
    SetWriteLimit(10);
    Extracted e = extract(archivePath("day.lzh").string(), m_folder, "a");
    SetWriteLimit(std::nullopt);
    EXPECT_EQ(e.result, 1);
    EXPECT_EQ(e.messages,
              J(archivePath("day.lzh").string() + " の a: " + (m_folder.path() / "a").string() +
                " に書き込めません: ディスクに空きがありません (No space left on "
                "device)\n"));
    EXPECT_TRUE(FolderEntries(m_folder.path()).empty());
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
    EXPECT_EQ(ReadBytes(m_folder.path() / "ruv_den2.kd2"), expected[1].data);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.path()), fs::directory_iterator()), 1);

    e = extract(archive, m_folder, "ruv_den1.kd2 ruv_den2.kd2 ruv_uma.kd2");
    ASSERT_EQ(e.result, 0) << e.messages;
    for (const LzhMember& member : expected)
        EXPECT_EQ(ReadBytes(m_folder.path() / member.name), member.data) << member.name;

    // the same into memory, whole or the first bytes only
    for (const std::uint64_t prefix : {0, 1, 100}) {
        const TMemberImages read = ExtractMembersInMemory(
            archive, {"ruv_den1.kd2", "ruv_den2.kd2", "ruv_uma.kd2"}, prefix);
        EXPECT_EQ(read.messages, "");
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(read.images[i],
                      prefix == 0 ? expected[i].data : expected[i].data.substr(0, prefix))
                << expected[i].name << " " << prefix;
    }
}

TEST_P(CompressedArchives, ATruncatedCopyWritesNoDamagedMember) {
    TWorkFolder copies;
    std::string bytes = ReadBytes(std::string(PELTON_TEST_DATA) + "/" + GetParam());
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

// The archive library fills its LHA tables when a program reads its first header, and two
// threads doing so at once used to find every header damaged (the season store reads days
// on several threads). Each round runs this test again as a program of its own, whose
// first reads are eight threads reading at once.
TEST(FirstReadsOfAProgram, ManyThreadsAtOnceEachReadTheirArchive) {
    const std::string archive = std::string(PELTON_TEST_DATA) + "/small_day_lh5.lzh";
    constexpr int kThreads = 8;
    if (std::getenv("PELTON_FIRST_READS")) {
        std::atomic<int> waiting = kThreads;
        std::atomic<int> failed = 0;
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&] {
                for (--waiting; waiting > 0;) {
                }
                if (!ExtractMembersInMemory(archive, {"ruv_den1.kd2"}).images.front())
                    ++failed;
            });
        for (std::thread& thread : threads)
            thread.join();
        std::_Exit(failed);
    }
    for (int round = 0; round < 150; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            setenv("PELTON_FIRST_READS", "1", 1);
            execl("/proc/self/exe", "platform_tests",
                  "--gtest_filter=FirstReadsOfAProgram.ManyThreadsAtOnceEachReadTheirArchive",
                  nullptr);
            std::_Exit(127);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0) << "round " << round << ": readers that failed";
    }
}
