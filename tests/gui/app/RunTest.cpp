#include "gui/app/Run.h"
#include "support/TestFiles.h"
#include "sampleday/LzhWriter.h"

#include "window/WindowFixture.h"
#include "session/DaySession.h"
#include "gui/app/DupCheck.h"
#include "platform/IniFile.h"
#include "platform/Version.h"
#include "sampleday/SampleDays.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace {

// The section names of an INI text, in file order.
std::vector<std::string> sectionsOf(const std::string& text) {
    std::vector<std::string> sections;
    const std::regex header(R"(^\[([^\]]*)\]\r?$)", std::regex::multiline);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), header);
         it != std::sregex_iterator(); ++it)
        sections.push_back((*it)[1]);
    return sections;
}

class RunTest : public WindowTest {
protected:
    TRunEnvironment environment() {
        TRunEnvironment e;
        e.ProgramFile = program();
        e.GuardName = QStringLiteral("ruvpelton");
        e.GuardFolder = QString::fromStdString(folder().string());
        e.ShowErrorBox = [this](const QString& text) { m_errors.append(text); };
        return e;
    }
    // The demo day opened at start, with the text files switched on and written here.
    TRunEnvironment demoDayWithTextOut() {
        const fs::path day = folder() / "day";
        TRunEnvironment e = environment();
        e.Archive = WriteDemoDay(day);
        writeIni("[Folder]\r\nTime=" + (day / "time" / "").string() + "\r\nOutTxt=" + folderText() +
                 "\r\n[File]\r\nTextOut=1\r\n");
        return e;
    }
};

} // namespace

TEST_F(RunTest, ARunWithoutASettingsFileWritesEveryValueWithItsDefault) {
    writeTimeDb();
    int started = 0;
    TRunEnvironment e = environment();
    e.Started = [&](TFormMain& formMain) {
        ++started;
        // the forms of the run, in their order, and the title
        QStringList forms;
        for (const QDialog* form : formMain.findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
            forms.append(form->objectName());
        EXPECT_EQ(forms, (QStringList{"OpenDialog1", "FormVer", "FormCfg", "FormWait"}));
        EXPECT_TRUE(formMain.isVisible());
        EXPECT_TRUE(child<QAction>(formMain, "ActionOpen")->isEnabled());
        // each window's caption is its own: the platform would add the application's own
        // display name, when it has one, to every caption ("エラー — RUV PELTON")
        EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(),
                  QCoreApplication::applicationName().toStdString());
        const std::pair<const QWidget*, const char*> captions[] = {
            {&formMain, "RUV PELTON"},
            {child<QWidget>(formMain, "FormVer"), "バージョン情報"},
            {child<QWidget>(formMain, "FormCfg"), "環境設定"},
            {child<QWidget>(formMain, "FormWait"), " "},
            {child<QWidget>(formMain, "ToolBar1"), "ツールバー"},
        };
        for (const auto& [window, caption] : captions)
            EXPECT_EQ(window->windowTitle().toStdString(), caption)
                << window->objectName().toStdString();
        child<QAction>(formMain, "ActionExit")->trigger();
    };
    EXPECT_EQ(RunPelton(e), 0);
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();

    const std::string text = readIni();
    const std::vector<std::string> sections = sectionsOf(text);
    EXPECT_EQ(std::set<std::string>(sections.begin(), sections.end()),
              (std::set<std::string>{"Folder", "File", "Font", "Other", "Pos"}));
    EXPECT_EQ(sections.size(), 5u);
    const struct {
        const char* section;
        const char* key;
        std::string value;
    } values[] = {
        {"Folder", "InDenm", folderText()},
        {"Folder", "OutTxt", folderText()},
        {"Folder", "Time", folderText()},
        {"Folder", "DrnRx", folderText()},
        {"File", "OutAtRead", "0"},
        {"File", "TextOut", "0"},
        {"File", "HtmlOut", "0"},
        {"File", "WarsOut", "0"},
        {"File", "WarsFormat", "1"},
        {"File", "RuvOut", "0"},
        {"File", "RuvFormat", "1"},
        {"Font", "Size", "11"},
        {"Font", "SizeOdds", "9"},
        {"Other", "RaceClose", "0"},
        {"Other", "DrnRx", "0"},
        {"Pos", "Split1", "183"},
        {"Pos", "Split2", "113"},
        {"Pos", "Bamei", "1"},
    };
    for (const auto& v : values) {
        SCOPED_TRACE(v.key);
        EXPECT_EQ(FindProfileString(v.section, v.key, ini()), v.value);
    }
    EXPECT_EQ(FindProfileString("Folder", "Jrdb", ini()), std::nullopt);
    EXPECT_EQ(FindProfileString("Other", "Jrdb", ini()), std::nullopt);
    EXPECT_NE(FindProfileString("Pos", "FormMain", ini()), std::nullopt);
    EXPECT_NE(FindProfileString("Pos", "FormMain.ToolBar1", ini()), std::nullopt);
}

TEST_F(RunTest, ASecondRunEndsAtOnceAndCallsTheFirstForward) {
    TDupCheck first("ruvpelton", QString::fromStdString(folder().string()));
    QSignalSpy calls(&first, &TDupCheck::comeForward);
    TRunEnvironment e = environment();
    bool started = false;
    e.Started = [&started](TFormMain& formMain) {
        started = true;
        formMain.close();
    };
    EXPECT_EQ(RunPelton(e), 0);
    EXPECT_FALSE(started);
    EXPECT_FALSE(fs::exists(ini())); // no work done, nothing written
    EXPECT_TRUE(m_errors.isEmpty());
    EXPECT_TRUE(calls.wait(5000));
}

TEST_F(RunTest, AGuardThatCannotBeMadeEndsTheRunButTheSettingsAreSaved) {
    TRunEnvironment e = environment();
    WriteBinaryFile(folder() / "file", "x");
    e.GuardFolder = QString::fromStdString((folder() / "file" / "below").string());
    bool started = false;
    e.Started = [&started](TFormMain&) { started = true; };
    EXPECT_EQ(RunPelton(e), 1);
    EXPECT_FALSE(started);
    EXPECT_EQ(m_errors,
              QStringList{QStringLiteral("Can not Create Mutex\n二重起動を防ぐロックをフォル"
                                         "ダ ") +
                          e.GuardFolder + QStringLiteral(" に作れません")});
    EXPECT_EQ(FindProfileString("Font", "Size", ini()), "11");
    EXPECT_EQ(FindProfileString("Pos", "Split1", ini()), std::nullopt);
}

TEST_F(RunTest, AQuitRequestClosesTheWindowAsTheUserWould) {
    writeTimeDb();
    TRunEnvironment e = environment();
    e.Started = [](TFormMain&) { QCoreApplication::quit(); };
    EXPECT_EQ(RunPelton(e), 0);
    EXPECT_EQ(FindProfileString("Pos", "Bamei", ini()), "1");
    EXPECT_EQ(FindProfileString("File", "WarsFormat", ini()), "1");
}

// The program ended from outside (a session that logs out, a closed terminal, Ctrl-C)
// while a day is open closes as ファイル > 終了 closes it: the settings and the window's
// place are written, and the work folder with the day's files is gone.
TEST_F(RunTest, EndedFromOutsideTheProgramClosesAsTheUserWould) {
    const fs::path archive = WriteDemoDay(folder() / "day");
    const fs::path runtime = folder() / "runtime";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        const fs::path temporary = folder() / "tmp";
        fs::create_directory(temporary);
        writeIni("[Folder]\r\nTime=" + (folder() / "day" / "time" / "").string() + "\r\n");
        std::vector<std::string> environment{"QT_QPA_PLATFORM=offscreen",
                                             "TMPDIR=" + temporary.string(),
                                             "XDG_RUNTIME_DIR=" + runtime.string()};
        for (char** e = environ; *e != nullptr; ++e)
            if (!std::string(*e).starts_with("TMPDIR=") &&
                !std::string(*e).starts_with("XDG_RUNTIME_DIR=") &&
                !std::string(*e).starts_with("QT_QPA_PLATFORM="))
                environment.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = PELTON_PROGRAM, option = "--ini", iniFile = ini().string(),
                    day = archive.string();
        char* argv[] = {program.data(), option.data(), iniFile.data(), day.data(), nullptr};
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);

        // the day is open once its files lie in the work folder
        auto dayFiles = [&temporary] {
            for (const auto& entry : fs::directory_iterator(temporary))
                if (fs::exists(entry.path() / "ruv_den1.kd2"))
                    return true;
            return false;
        };
        for (int i = 0; i < 600 && !dayFiles(); ++i)
            QTest::qWait(100);
        ASSERT_TRUE(dayFiles());
        ASSERT_EQ(::kill(pid, signal), 0);
        int status = 0;
        for (int i = 0; i < 600 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
            QTest::qWait(100);
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(fs::is_empty(temporary));
        EXPECT_NE(FindProfileString("Pos", "FormMain", ini()), std::nullopt);
        EXPECT_EQ(FindProfileString("Pos", "Split1", ini()), "183");
        EXPECT_EQ(FindProfileString("File", "WarsFormat", ini()), "1");
        fs::remove_all(temporary);
        fs::remove(ini());
    }
}

// A signal during an output command stops the walk and discards its files, so that every
// earlier file stays as it was, then closes the program as the user would.
TEST_F(RunTest, EndedFromOutsideDuringAnOutputCommand) {
    TRunEnvironment e = demoDayWithTextOut();
    const fs::path report = folder() / "s2001012804.txt";
    WriteBinaryFile(report, "earlier\r\n");
    bool walked = false;
    e.Started = [&walked](TFormMain& formMain) {
        // the signal comes while race 2 is being written
        const auto* wait = child<QDialog>(formMain, "FormWait");
        QObject::connect(child<QProgressBar>(*wait, "ProgressBar1"), &QProgressBar::valueChanged,
                         [](int race) {
                             if (race == 2)
                                 ::raise(SIGTERM);
                         });
        child<QAction>(formMain, "ActionOutAll")->trigger();
        walked = true;
    };
    EXPECT_EQ(RunPelton(e), 0);
    EXPECT_TRUE(walked);
    EXPECT_EQ(ReadBytes(report), "earlier\r\n");
    EXPECT_FALSE(fs::exists(folder() / "s2001012800.txt"));
    EXPECT_EQ(FindProfileString("File", "TextOut", ini()), "1");
    EXPECT_NE(FindProfileString("Pos", "FormMain", ini()), std::nullopt);
}

TEST_F(RunTest, TheCommandLineNamesASettingsFileAndAnArchive) {
    const fs::path here = fs::current_path();
    const struct {
        std::vector<std::string> arguments;
        fs::path ini;
        fs::path archive;
        bool help;
        std::string error;
        bool version = false;
    } lines[] = {
        {{}, {}, {}, false, ""},
        {{"/d/rv010128.lzh"}, {}, "/d/rv010128.lzh", false, ""},
        {{"day.lzh"}, {}, here / "day.lzh", false, ""},
        {{"--ini", "/e/p.ini", "/d/a.lzh"}, "/e/p.ini", "/d/a.lzh", false, ""},
        {{"/d/a.lzh", "--ini=p.ini"}, here / "p.ini", "/d/a.lzh", false, ""},
        {{"--", "-x.lzh"}, {}, here / "-x.lzh", false, ""},
        {{"-h"}, {}, {}, true, ""},
        {{"--help", "/d/a.lzh"}, {}, "/d/a.lzh", true, ""},
        {{"--version"}, {}, {}, false, "", true},
        {{"--ini"}, {}, {}, false, "--ini にはファイルを指定してください"},
        {{"--ini="}, {}, {}, false, "--ini にはファイルを指定してください"},
        // Qt's own options and their values are Qt's, not archives
        {{"-platform", "xcb", "/d/a.lzh"}, {}, "/d/a.lzh", false, ""},
        {{"--style", "fusion", "-reverse", "-style=windows", "/d/a.lzh"},
         {},
         "/d/a.lzh",
         false,
         ""},
        {{"-platform=xcb"}, {}, {}, false, "知らないオプションです: -platform=xcb"},
        {{"--colour"}, {}, {}, false, "知らないオプションです: --colour"},
        {{"/d/a.lzh", "/d/b.lzh"}, {}, "/d/a.lzh", false, "開けるアーカイブは1つだけです"},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.arguments.empty() ? std::string("(none)") : line.arguments[0]);
        const TCommandLine parsed = ParseCommandLine(line.arguments);
        EXPECT_EQ(parsed.IniFile, line.ini);
        EXPECT_EQ(parsed.Archive, line.archive);
        EXPECT_EQ(parsed.Help, line.help);
        EXPECT_EQ(parsed.Error, line.error);
        EXPECT_EQ(parsed.Version, line.version);
    }
    EXPECT_NE(CommandLineUsage().find("--ini FILE"), std::string::npos);
    EXPECT_EQ(VersionText(), std::string("ruvpelton (RUV PELTON) ") + ProductVersion() + "\n" +
                                 Copyright() + "\n");
}

// The file dialog, its buttons and the standard buttons speak Japanese during a run.
TEST_F(RunTest, QtsOwnTextsAreJapaneseDuringTheRun) {
    writeTimeDb();
    TRunEnvironment e = environment();
    QStringList texts;
    e.Started = [&](TFormMain& formMain) {
        QAction* open = child<QAction>(formMain, "ActionOpen");
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            texts << dialog->windowTitle()
                  << dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text();
            for (const QPushButton* button : dialog->findChildren<QPushButton*>())
                texts << button->text();
            dialog->reject();
        });
        open->trigger();
        formMain.close();
    };
    EXPECT_EQ(RunPelton(e), 0);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("開く"), QStringLiteral("ファイル名(&N):"),
                                  QStringLiteral("開く(&O)"), QStringLiteral("キャンセル")}));
    // and the translation ends with the run
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

// Installed (the program in PREFIX/bin beside PREFIX/share/ruvpelton), the program writes
// nothing beside itself: its settings go to the user's config folder, its folders default
// to the user's home, and the help file is the shared one.
TEST_F(RunTest, AnInstalledProgramKeepsItsSettingsInTheUsersConfigFolder) {
    const fs::path prefix = folder() / "usr";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share/ruvpelton");
    const fs::path home = folder() / "home";
    fs::create_directories(home);
    TRunEnvironment e = environment();
    e.ProgramFile = prefix / "bin/ruvpelton";
    e.User = TUserFolders{home, {}, {}};
    fs::path help;
    e.Started = [&](TFormMain& formMain) {
        help = formMain.HelpFile();
        formMain.close();
    };
    EXPECT_EQ(RunPelton(e), 0);
    EXPECT_EQ(help, prefix / "share/ruvpelton/ruvpelton.html");
    const fs::path ini = home / ".config/ruvpelton/ruvpelton.ini";
    EXPECT_EQ(FindProfileString("Folder", "InDenm", ini), home.string() + "/");
    EXPECT_NE(FindProfileString("Pos", "FormMain", ini), std::nullopt);
    EXPECT_EQ(std::distance(fs::directory_iterator(prefix / "bin"), fs::directory_iterator()), 0);
    // the time database was looked for in the home folder
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors[0].startsWith(QStringLiteral("time.dbxがオープンできません\n")));
}

TEST_F(RunTest, AnArchiveOfTheCommandLineIsOpenedAtStartIntoTheNamedSettingsFile) {
    const fs::path day = folder() / "day";
    const fs::path archive = WriteDemoDay(day);
    const fs::path otherIni = folder() / "elsewhere" / "demo.ini";
    fs::create_directories(otherIni.parent_path());
    WriteBinaryFile(otherIni,
                    "[Folder]\r\nTime=" + day.string() + "/time/\r\n[Pos]\r\nSplit1=200\r\n");

    TRunEnvironment e = environment();
    e.IniFile = otherIni;
    e.Archive = archive;
    bool open = false;
    int races = 0;
    e.Started = [&](TFormMain& formMain) {
        ASSERT_NE(formMain.Session(), nullptr) << m_errors.join(QChar(10)).toStdString();
        open = formMain.Session()->IsDayOpen();
        const QTreeWidget* tree = child<QTreeWidget>(formMain, "TreeView1");
        for (int g = 0; g < tree->topLevelItemCount(); ++g)
            races += tree->topLevelItem(g)->childCount();
        EXPECT_TRUE(child<QAction>(formMain, "ActionClose")->isEnabled());
        EXPECT_EQ(formMain.RaceTreeWidth(), 200);
        child<QAction>(formMain, "ActionExit")->trigger();
    };
    EXPECT_EQ(RunPelton(e), 0);
    EXPECT_TRUE(open);
    EXPECT_EQ(races, 36);
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
    // the settings and the window's place went to the named file only
    EXPECT_FALSE(fs::exists(ini()));
    EXPECT_EQ(FindProfileString("Font", "Size", otherIni), "11");
    EXPECT_EQ(FindProfileString("Pos", "Split1", otherIni), "200");
    EXPECT_NE(FindProfileString("Pos", "FormMain", otherIni), std::nullopt);

    // without the prediction the open command is disabled, and so is the open at start
    e.IniFile.clear();
    open = true;
    e.Started = [&](TFormMain& formMain) {
        open = formMain.Session()->IsDayOpen();
        child<QAction>(formMain, "ActionExit")->trigger();
    };
    m_errors.clear();
    EXPECT_EQ(RunPelton(e), 0);
    EXPECT_FALSE(open);
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors[0].startsWith(QStringLiteral("time.dbxがオープンできません\n")));
}

TEST_F(RunTest, ASecondStartWithADayOpensItInTheFirstOnceTheFirstIsIdle) {
    TRunEnvironment e = demoDayWithTextOut();
    const struct {
        bool handsDay;    // the second start names a day archive
        const char* busy; // the command the first run is in meanwhile; nullptr: none
    } cases[] = {{true, nullptr}, {false, nullptr}, {true, "ActionAbout"}, {true, "ActionOutAll"}};
    e.Started = [&](TFormMain& w) {
        // the hint under the heading is back once a day has been opened afresh
        const auto* hint = child<QLabel>(w, "LabelChooseRace");
        auto* tree = child<QTreeWidget>(w, "TreeView1");
        for (const auto& c : cases) {
            SCOPED_TRACE(c.busy != nullptr ? c.busy : "idle");
            tree->setCurrentItem(tree->topLevelItem(0)->child(0));
            QTest::keyClick(tree, Qt::Key_Return);
            bool keptWhileBusy = hint->isHidden();
            auto secondStart = [&] {
                const QString day = QString::fromStdString(e.Archive.string());
                EXPECT_TRUE(TDupCheck(QStringLiteral("ruvpelton"),
                                      QString::fromStdString(folder().string()),
                                      c.handsDay ? day : QString())
                                .TerminateRequested());
                QTest::qWait(400);
                keptWhileBusy = keptWhileBusy && hint->isHidden();
                if (QWidget* modal = QApplication::activeModalWidget())
                    modal->close();
            };
            if (c.busy == nullptr) {
                secondStart();
            } else {
                QTimer::singleShot(0, secondStart);
                child<QAction>(w, c.busy)->trigger();
                EXPECT_TRUE(keptWhileBusy);
            }
            EXPECT_EQ(QTest::qWaitFor([&] { return !hint->isHidden(); }, 3000), c.handsDay);
        }
        w.close();
    };
    EXPECT_EQ(RunPelton(e), 0);
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join('\n').toStdString();
}
