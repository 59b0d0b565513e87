#include "session/Settings.h"
#include "support/TestFiles.h"
#include "sampleday/LzhWriter.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/WorkFolder.h"
#include "platform/WriteLimit.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The run's end as the program does it: the window stores its panes, then the settings.
void endRun(const TSettings& s, const fs::path& ini) {
    s.SavePos(ini);
    s.Save(ini);
}

class SettingsTest : public ::testing::Test {
protected:
    fs::path ini() const { return m_folder.path() / "ruvpelton.ini"; }
    std::string programFolder() const { return m_folder.folderText(); }
    TWorkFolder m_folder;
};

} // namespace

TEST_F(SettingsTest, AFirstRunWritesTheDefaults) {
    TSettings s;
    s.Load(ini());
    EXPECT_EQ(s.ProgramFolder, programFolder());
    EXPECT_EQ(s.ProgramFolder.back(), '/');
    for (const std::string* folder :
         {&s.Folder.InDenm, &s.Folder.OutTxt, &s.Folder.Time, &s.Folder.DrnRx, &s.Folder.Jrdb})
        EXPECT_EQ(*folder, programFolder());
    EXPECT_FALSE(fs::exists(ini()));

    endRun(s, ini());
    const std::string pf = programFolder();
    EXPECT_EQ(ReadBytes(ini()),
              "[Pos]\r\nSplit1=183\r\nSplit2=113\r\nBamei=1\r\nGraph=0\r\nGraphHeight=160\r\n"
              "[Folder]\r\nInDenm=" +
                  pf + "\r\nOutTxt=" + pf + "\r\nTime=" + pf + "\r\nDrnRx=" + pf +
                  "\r\n"
                  "[File]\r\nOutAtRead=0\r\nTextOut=0\r\nHtmlOut=0\r\nWarsOut=0\r\n"
                  "WarsFormat=1\r\nRuvOut=0\r\nRuvFormat=1\r\n"
                  "[Font]\r\nSize=11\r\nSizeOdds=9\r\n"
                  "[Other]\r\nRaceClose=0\r\nDrnRx=0\r\n");
}

TEST_F(SettingsTest, JrdbKeysForeignKeysAndCommentsSurviveEveryRun) {
    const std::string pf = programFolder();
    const std::string note = "; " + sjis("手で書いた設定") + "\r\n";
    const std::string pos = "[Pos]\r\nFormMain=1,2,3,4,5,6,7,8,0\r\n"
                            "FormMain.ToolBar1=1,1,0,0,10,20,30,40,ControlBar1\r\nSplit1=200\r\n";
    WriteBinaryFile(ini(),
                    note + "[Folder]\r\nJrdb=/jrdb\r\nInDenm=/in/\r\n[Other]\r\nJrdb=1\r\nMine=" +
                        sjis("馬") + "\r\n" + pos);
    TSettings s;
    s.Load(ini());
    EXPECT_EQ(s.Folder.Jrdb, "/jrdb");
    EXPECT_EQ(s.Other.Jrdb, 1);
    EXPECT_EQ(s.Pos.Split1, 200);
    // what the program holds for the Jrdb keys never reaches the file
    s.Folder.Jrdb = "/elsewhere/";
    s.Other.Jrdb = 0;
    endRun(s, ini());
    const std::string expected =
        note + "[Folder]\r\nJrdb=/jrdb\r\nInDenm=/in/\r\nOutTxt=" + pf + "\r\nTime=" + pf +
        "\r\nDrnRx=" + pf + "\r\n[Other]\r\nJrdb=1\r\nMine=" + sjis("馬") +
        "\r\nRaceClose=0\r\nDrnRx=0\r\n" + pos +
        "Split2=113\r\nBamei=1\r\nGraph=0\r\nGraphHeight=160\r\n"
        "[File]\r\nOutAtRead=0\r\nTextOut=0\r\nHtmlOut=0\r\nWarsOut=0\r\nWarsFormat=1\r\n"
        "RuvOut=0\r\nRuvFormat=1\r\n[Font]\r\nSize=11\r\nSizeOdds=9\r\n";
    EXPECT_EQ(ReadBytes(ini()), expected);
    for (int run = 0; run < 3; ++run) {
        TSettings again;
        again.Load(ini());
        EXPECT_EQ(again.Folder.Jrdb, "/jrdb");
        EXPECT_EQ(again.Other.Jrdb, 1);
        endRun(again, ini());
        EXPECT_EQ(ReadBytes(ini()), expected) << "run " << run;
    }
}

TEST_F(SettingsTest, FlagsHoldTheLowEightBitsAndAreWrittenBackAsHeld) {
    struct FlagKey {
        const char* section;
        const char* key;
        TFlag (*held)(const TSettings&);
        int defaultValue;
    };
    const FlagKey keys[] = {
        {"File", "OutAtRead", [](const TSettings& s) { return s.File.OutAtRead; }, 0},
        {"File", "TextOut", [](const TSettings& s) { return s.File.TextOut; }, 0},
        {"File", "HtmlOut", [](const TSettings& s) { return s.File.HtmlOut; }, 0},
        {"File", "WarsOut", [](const TSettings& s) { return s.File.WarsOut; }, 0},
        {"File", "WarsFormat", [](const TSettings& s) { return s.File.WarsFormat; }, 1},
        {"File", "RuvOut", [](const TSettings& s) { return s.File.RuvOut; }, 0},
        {"File", "RuvFormat", [](const TSettings& s) { return s.File.RuvFormat; }, 1},
        {"Other", "RaceClose", [](const TSettings& s) { return s.Other.RaceClose; }, 0},
        {"Other", "DrnRx", [](const TSettings& s) { return s.Other.DrnRx; }, 0},
        {"Pos", "Bamei", [](const TSettings& s) { return s.Pos.Bamei; }, 1},
    };
    struct Stored {
        const char* text;
        int held; // -1: the key's default
    };
    const Stored cases[] = {
        {"0", 0},     {"1", 1},     {"2", 2},    {"256", 0},  {"257", 1}, {"-1", 255},
        {"0x101", 1}, {"$FF", 255}, {"  3 ", 3}, {"1.0", -1}, {"on", -1}, {"", -1},
    };
    for (const Stored& c : cases) {
        std::string file;
        for (const char* section : {"File", "Other", "Pos"}) {
            file += std::string("[") + section + "]\r\n";
            for (const FlagKey& k : keys)
                if (std::string(k.section) == section)
                    file += std::string(k.key) + "=" + c.text + "\r\n";
        }
        WriteBinaryFile(ini(), file);
        TSettings s;
        s.Load(ini());
        endRun(s, ini());
        const std::string written = ReadBytes(ini());
        for (const FlagKey& k : keys) {
            int expected = c.held < 0 ? k.defaultValue : c.held;
            EXPECT_EQ(k.held(s), expected) << k.key << "=" << c.text;
            EXPECT_NE(
                written.find("\r\n" + std::string(k.key) + "=" + std::to_string(expected) + "\r\n"),
                std::string::npos)
                << k.key << "=" << c.text;
        }
    }
}

TEST_F(SettingsTest, SizesAndPaneWidthsAreUsedAsStored) {
    WriteBinaryFile(ini(), "[Font]\r\nSize=0x10\r\nSizeOdds=$0C\r\n"
                           "[Pos]\r\nSplit1=$B7\r\nSplit2=-5\r\nBamei=0\r\n");
    TSettings s;
    s.Load(ini());
    EXPECT_EQ(s.Font.Size, 16);
    EXPECT_EQ(s.Font.SizeOdds, 12);
    EXPECT_EQ(s.Pos.Split1, 183);
    EXPECT_EQ(s.Pos.Split2, -5);
    EXPECT_EQ(s.Pos.Bamei, 0);
    endRun(s, ini());
    std::string written = ReadBytes(ini());
    EXPECT_EQ(written.substr(0, written.find("[Folder]")),
              "[Font]\r\nSize=16\r\nSizeOdds=12\r\n[Pos]\r\nSplit1=183\r\nSplit2=-5\r\nBamei=0\r\n"
              "Graph=0\r\nGraphHeight=160\r\n");

    WriteBinaryFile(ini(), "[Font]\r\nSize=12pt\r\nSizeOdds=99\r\n[Pos]\r\nSplit1=wide\r\n");
    s.Load(ini());
    EXPECT_EQ(s.Font.Size, 11);
    EXPECT_EQ(s.Font.SizeOdds, 99);
    EXPECT_EQ(s.Pos.Split1, 183);
    EXPECT_EQ(s.Pos.Split2, 113);
    EXPECT_EQ(s.Pos.Bamei, 1);
}

TEST_F(SettingsTest, FoldersAreCp932InTheFileAndUtf8InMemory) {
    const std::string japanese = sjis("/データ/競馬/");
    WriteBinaryFile(ini(), "[Folder]\r\nInDenm=" + japanese +
                               "\r\nOutTxt=\r\nTime=/time\r\nDrnRx=" + sjis("データ").substr(0, 3) +
                               "\r\n");
    TSettings s;
    s.Load(ini());
    EXPECT_EQ(s.Folder.InDenm, "/データ/競馬/");
    EXPECT_EQ(s.Folder.OutTxt, "");             // empty as stored, not the default
    EXPECT_EQ(s.Folder.Time, "/time");          // no final '/' added
    EXPECT_EQ(s.Folder.DrnRx, programFolder()); // half a character: not a folder
    s.Save(ini());
    std::string written = ReadBytes(ini());
    EXPECT_EQ(written.substr(0, written.find("[File]")),
              "[Folder]\r\nInDenm=" + japanese +
                  "\r\nOutTxt=\r\nTime=/time\r\nDrnRx=" + programFolder() + "\r\n");
}

TEST_F(SettingsTest, AFolderWithoutACp932FormIsReportedAndTheRestWritten) {
    WriteBinaryFile(ini(), "[Folder]\r\nInDenm=/old/\r\nTime=/t/\r\n");
    TSettings s;
    s.Load(ini());
    s.Folder.InDenm = "/\U0001F40E/";
    s.Folder.Time = "/a\nb/";
    s.Folder.OutTxt = "/out/";
    s.Font.Size = 14;
    try {
        s.Save(ini());
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()), sjis("設定ファイルに書けないフォルダ名です") +
                                             " (InDenm, Time) " + ini().string());
    }
    std::string written = ReadBytes(ini());
    EXPECT_EQ(written.substr(0, written.find("[File]")),
              "[Folder]\r\nInDenm=/old/\r\nTime=/t/\r\nOutTxt=/out/\r\nDrnRx=" + programFolder() +
                  "\r\n");
    EXPECT_NE(written.find("\r\nSize=14\r\n"), std::string::npos);
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenGivesAnErrorNamingIt) {
    fs::path ini = m_folder.path() / "gone" / "ruvpelton.ini";
    TSettings s;
    s.Load(ini);
    EXPECT_EQ(s.ProgramFolder, (m_folder.path() / "gone" / "").string());
    try {
        s.Save(ini);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()),
                  J("入出力エラー(作成): ") + ini.string() +
                      J(" (ファイルまたはフォルダがありません (No such file or directory))"));
    }
}

// A save writes the file once: room for exactly its bytes is enough. On a disk with less
// room the old file stays whole and no temporary file is left beside it.
TEST_F(SettingsTest, ASaveWritesTheFileOnceAndAFullDiskKeepsTheOldFile) {
    const std::string old = "; mine\r\n[Font]\r\nSize=14\r\n[Other]\r\nJrdb=1\r\n";
    TSettings s;
    WriteBinaryFile(ini(), old);
    s.Load(ini());
    s.Font.SizeOdds = 12;
    s.Save(ini());
    const std::string saved = ReadBytes(ini());
    for (std::size_t limit : {std::size_t{0}, saved.size() / 2, saved.size() - 1, saved.size()}) {
        WriteBinaryFile(ini(), old);
        SetWriteLimit(limit);
        std::string error;
        try {
            s.Save(ini());
        } catch (const EInOutError& e) {
            error = e.what();
        }
        SetWriteLimit(std::nullopt);
        const bool fits = limit == saved.size();
        EXPECT_EQ(error, fits ? ""
                              : J("入出力エラー(書き込み): ") + ini().string() +
                                    J(" (ディスクに空きがありません (No space left on device))"));
        EXPECT_EQ(ReadBytes(ini()), fits ? saved : old) << limit;
        EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.path()), fs::directory_iterator()),
                  1);
    }
}

// Only a regular file of a settings file's size is read; anything else is refused at
// once with a message, never read until memory runs out or waited on.
TEST_F(SettingsTest, OnlyARegularFileOfASettingsFilesSizeIsRead) {
    const fs::path fifo = m_folder.path() / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path large = m_folder.path() / "large.ini";
    WriteBinaryFile(large, "[Font]\r\n" + std::string(1 << 20, ';'));
    const std::pair<fs::path, std::string> cases[] = {
        {"/dev/zero", J("入出力エラー(読み込み): /dev/zero (通常のファイルではありません)")},
        {fifo, J("入出力エラー(読み込み): " + fifo.string() + " (通常のファイルではありません)")},
        {m_folder.path(), J("入出力エラー(読み込み): " + m_folder.path().string() +
                            " (フォルダです (Is a directory))")},
        {large, J("入出力エラー(読み込み): " + large.string() +
                  " (1048584 バイトで、このファイルの上限 1048576 バイトを超えています)")},
    };
    for (const auto& [file, message] : cases) {
        TSettings s;
        try {
            s.Load(file);
            ADD_FAILURE() << message;
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

TEST(SettingsFile, IsTheProgramPathWithIni) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/rp/ruvpelton", "/opt/rp/ruvpelton.ini"},
        {"/opt/rp/ruvpelton.exe", "/opt/rp/ruvpelton.ini"},
        {"/opt/v1.2/ruvpelton", "/opt/v1.2/ruvpelton.ini"},
        {"/opt/rp/ruv.pelton.bin", "/opt/rp/ruv.pelton.ini"},
        {"ruvpelton", "ruvpelton.ini"},
    };
    for (const auto& [program, ini] : cases)
        EXPECT_EQ(SettingsFilePath(program).string(), ini) << program;
    EXPECT_EQ(FolderText("/opt/rp/./x/../ruvpelton.ini"), "/opt/rp/");
    EXPECT_EQ(FolderText("ruvpelton.ini"), (fs::current_path() / "").string());
}
