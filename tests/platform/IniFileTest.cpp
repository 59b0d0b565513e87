#include "platform/IniFile.h"
#include "sampleday/LzhWriter.h"

#include "support/TestFiles.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    fs::path ini() const { return m_folder.path() / "ruvpelton.ini"; }
    TWorkFolder m_folder;
};

struct ReadCase {
    const char* what;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;
};

} // namespace

TEST_F(IniFileTest, ReadsByWindowsProfileRules) {
    const std::string crlf = "[Folder]\r\nInDenm=/data/\r\nOutTxt=/out/\r\n";
    const ReadCase cases[] = {
        {"exact names", crlf, "Folder", "OutTxt", "/out/"},
        {"names ignore ASCII case", crlf, "fOLDER", "indenm", "/data/"},
        {"LF-only lines", "[Folder]\nInDenm=/lf/\n", "Folder", "InDenm", "/lf/"},
        {"no final line end", "[Folder]\r\nInDenm=/end/", "Folder", "InDenm", "/end/"},
        {"blanks around names and value", " [ Folder ] \r\n\t InDenm \t=  /b/ \t\r\n", "Folder",
         "InDenm", "/b/"},
        {"enclosing quotes taken off", "[F]\r\nA=\" x \"\r\n", "F", "A", " x "},
        {"single quotes too", "[F]\r\nA='y'\r\n", "F", "A", "y"},
        {"unpaired quote kept", "[F]\r\nA=\"y'\r\n", "F", "A", "\"y'"},
        {"empty value is not the default", "[F]\r\nA=\r\n", "F", "A", ""},
        {"first key of a name wins", "[F]\r\nA=1\r\na=2\r\n", "F", "A", "1"},
        {"first section of a name wins", "[F]\r\nB=1\r\n[f]\r\nA=2\r\n", "F", "A", "DEF"},
        {"key of another section", "[G]\r\nA=1\r\n[F]\r\nB=2\r\n", "F", "A", "DEF"},
        {"key before any section", "A=1\r\n[F]\r\n", "F", "A", "DEF"},
        {"comment is no key", "[F]\r\n;A=1\r\n", "F", "A", "DEF"},
        {"line without '='", "[F]\r\nA\r\n", "F", "A", "DEF"},
        {"value keeps further '='", "[F]\r\nA=b=c\r\n", "F", "A", "b=c"},
        {"missing section", crlf, "File", "InDenm", "DEF"},
        {"CP932 value", "[F]\r\nA=" + sjis("競馬") + "\r\n", "F", "A", sjis("競馬")},
    };
    for (const ReadCase& c : cases) {
        WriteBinaryFile(ini(), c.file);
        EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "DEF", ini()), c.expected) << c.what;
    }
    WriteBinaryFile(ini(), "[F]\r\nA=\r\n");
    EXPECT_EQ(FindProfileString("F", "A", ini()), std::optional<std::string>(""));
    EXPECT_EQ(FindProfileString("F", "B", ini()), std::nullopt);
    fs::remove(ini());
    EXPECT_EQ(GetPrivateProfileString("Folder", "InDenm", "DEF", ini()), "DEF");
    EXPECT_EQ(FindProfileString("Folder", "InDenm", ini()), std::nullopt);
}

TEST_F(IniFileTest, NamesOfTwoByteCharactersAreComparedExactly) {
    // ゾ ends in the byte of ']'; the second byte of ア is 'A', and turned into 'a'
    // it gives another valid character that case folding must not confuse with ア.
    const std::string zo = sjis("ゾ");
    ASSERT_EQ(zo[1], ']');
    std::string a = sjis("ア");
    ASSERT_EQ(a[1], 'A');
    std::string other = a;
    other[1] = 'a';
    ASSERT_NO_THROW(toUtf8(other));

    WriteBinaryFile(ini(), "[" + zo + "]\r\n" + a + "=1\r\n");
    EXPECT_EQ(GetPrivateProfileString(zo, a, "DEF", ini()), "1");
    EXPECT_EQ(GetPrivateProfileString(zo, other, "DEF", ini()), "DEF");
}

TEST_F(IniFileTest, IntegersByWindowsAndByTheProgramsOwnRule) {
    struct IntCase {
        const char* text;
        int windows; // GetPrivateProfileInt
        int strict;  // ReadProfileInteger
    };
    const IntCase cases[] = {
        {"12", 12, 12},
        {"12abc", 12, -7},
        {"abc", 0, -7},
        {"", -7, -7},
        {"0x1F", 31, 31},
        {"0X1f", 31, 31},
        {"$1F", 0, 31},
        {"-$10", 0, -16},
        {"-5", -5, -5},
        {"+5", 5, 5},
        {"0xFFFFFFFF", -1, -1},
        {"$7FFFFFFF", 0, 2147483647},
        {"$100000000", 0, -7},
        {"0x", 0, -7},
        {"$", 0, -7},
        {"2147483647", 2147483647, 2147483647},
        {"2147483648", -2147483647 - 1, -7},
        {"-2147483648", -2147483647 - 1, -2147483647 - 1},
        {"99999999999", 1215752191, -7},
        {"1 2", 1, -7},
        {"\"0x10\"", 16, 16},
    };
    for (const IntCase& c : cases) {
        WriteBinaryFile(ini(), std::string("[F]\r\nA=") + c.text + "\r\n");
        EXPECT_EQ(GetPrivateProfileInt("F", "A", -7, ini()), c.windows) << c.text;
        EXPECT_EQ(ReadProfileInteger("F", "A", -7, ini()), c.strict) << c.text;
    }
    EXPECT_EQ(GetPrivateProfileInt("F", "Missing", -7, ini()), -7);
    EXPECT_EQ(ReadProfileInteger("F", "Missing", -7, ini()), -7);
}

TEST_F(IniFileTest, WritesKeepEveryOtherLineInPlace) {
    struct WriteCase {
        const char* what;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    };
    const std::string comment = "; " + sjis("設定ファイル") + "\r\n";
    const WriteCase cases[] = {
        {"new file", "", "Folder", "InDenm", "/d/", "[Folder]\r\nInDenm=/d/\r\n"},
        {"value replaced in place, file's spelling and indent kept",
         comment + "[folder]\r\n  indenm = /old/ \r\nForeign=" + sjis("馬") + "\r\n", "Folder",
         "InDenm", "/new/",
         comment + "[folder]\r\n  indenm=/new/\r\nForeign=" + sjis("馬") + "\r\n"},
        {"LF lines become CR LF", "[F]\nA=1\n; note\n", "F", "A", "2", "[F]\r\nA=2\r\n; note\r\n"},
        {"new key after the section's last line, before blank lines",
         "[F]\r\nA=1\r\n;end of F\r\n\r\n[G]\r\nB=2\r\n", "F", "C", "3",
         "[F]\r\nA=1\r\n;end of F\r\nC=3\r\n\r\n[G]\r\nB=2\r\n"},
        {"new key in an empty last section", "[F]\r\nA=1\r\n[G]", "G", "B", "2",
         "[F]\r\nA=1\r\n[G]\r\nB=2\r\n"},
        {"new section at the end", "top\r\n[F]\r\nA=1\r\n\r\n", "Pos", "Split1", "183",
         "top\r\n[F]\r\nA=1\r\n\r\n[Pos]\r\nSplit1=183\r\n"},
        {"first of two keys of a name", "[F]\r\nA=1\r\nA=2\r\n", "F", "a", "9",
         "[F]\r\nA=9\r\nA=2\r\n"},
        {"first of two sections of a name", "[F]\r\nB=1\r\n[F]\r\nA=2\r\n", "F", "A", "9",
         "[F]\r\nB=1\r\nA=9\r\n[F]\r\nA=2\r\n"},
        {"blanks at the ends kept by quotes", "", "F", "A", " x ", "[F]\r\nA=\" x \"\r\n"},
        {"a quoted value kept by quotes", "", "F", "A", "'q'", "[F]\r\nA=\"'q'\"\r\n"},
        {"empty value", "[F]\r\nA=1\r\n", "F", "A", "", "[F]\r\nA=\r\n"},
    };
    for (const WriteCase& c : cases) {
        fs::remove(ini());
        if (!c.before.empty())
            WriteBinaryFile(ini(), c.before);
        WritePrivateProfileString(c.section, c.key, c.value, ini());
        EXPECT_EQ(ReadBytes(ini()), c.after) << c.what;
        EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "DEF", ini()), c.value) << c.what;
        EXPECT_EQ(FolderEntries(m_folder.path()), std::vector<std::string>{"ruvpelton.ini"})
            << c.what;
    }
}

TEST_F(IniFileTest, ReplacementKeepsTheFileModeAndFollowsASymbolicLink) {
    WriteBinaryFile(ini(), "[F]\r\nA=1\r\n");
    ASSERT_EQ(::chmod(ini().c_str(), 0640), 0);
    fs::path link = m_folder.path() / "link.ini";
    fs::create_symlink(ini(), link);

    WritePrivateProfileString("F", "A", "2", link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(ini()), "[F]\r\nA=2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(ini().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FolderEntries(m_folder.path()),
              (std::vector<std::string>{"link.ini", "ruvpelton.ini"}));
}

TEST_F(IniFileTest, RefusesWhatCannotStandOnOneLine) {
    WriteBinaryFile(ini(), "[F]\r\nA=1\r\n");
    const char* bad[][3] = {
        {"F", "A", "x\r\nB=2"}, {"F", "A", "x\ny"}, {"", "A", "1"},    {"F]", "A", "1"},
        {"F", "", "1"},         {"F", "A=B", "1"},  {"F", ";A", "1"},  {"F", "[A", "1"},
        {"F", " A", "1"},       {" F", "A", "1"},   {"F\n", "A", "1"},
    };
    for (const auto& b : bad)
        EXPECT_THROW(WritePrivateProfileString(b[0], b[1], b[2], ini()), std::invalid_argument)
            << b[0] << "|" << b[1] << "|" << b[2];
    EXPECT_EQ(ReadBytes(ini()), "[F]\r\nA=1\r\n");
}

TEST_F(IniFileTest, FailuresNameTheFileAndLeaveNoTemporaryFile) {
    fs::path missing = m_folder.path() / "no-such-folder" / "x.ini";
    try {
        WritePrivateProfileString("F", "A", "1", missing);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()),
                  J("入出力エラー(作成): ") + missing.string() +
                      J(" (ファイルまたはフォルダがありません (No such file or directory))"));
    }

    fs::create_directory(m_folder.path() / "dir.ini");
    try {
        GetPrivateProfileString("F", "A", "", m_folder.path() / "dir.ini");
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), J("入出力エラー(読み込み): ") +
                                             (m_folder.path() / "dir.ini").string() +
                                             J(" (フォルダです (Is a directory))"));
    }
    EXPECT_THROW(WritePrivateProfileString("F", "A", "1", m_folder.path() / "dir.ini"),
                 EInOutError);
    EXPECT_EQ(FolderEntries(m_folder.path()), std::vector<std::string>{"dir.ini"});
}

TEST_F(IniFileTest, AReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    WriteBinaryFile(ini(), "[F]\r\nA=1\r\n");
    ASSERT_EQ(::chmod(m_folder.path().c_str(), 0500), 0);
    try {
        WritePrivateProfileString("F", "A", "2", ini());
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), J("入出力エラー(作成): ") + ini().string() +
                                             J(" (権限がありません (Permission denied))"));
    }
    ::chmod(m_folder.path().c_str(), 0700);
    EXPECT_EQ(ReadBytes(ini()), "[F]\r\nA=1\r\n");
    EXPECT_EQ(FolderEntries(m_folder.path()), std::vector<std::string>{"ruvpelton.ini"});
}
