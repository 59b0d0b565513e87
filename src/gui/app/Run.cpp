#include "gui/app/Run.h"

#include "session/Settings.h"
#include "platform/Cancel.h"
#include "gui/app/DupCheck.h"
#include "gui/app/EndingSignals.h"
#include "gui/window/Main.h"
#include "gui/dialogs/Cfg.h"
#include "gui/support/QtBoundary.h"
#include "gui/dialogs/Ver.h"
#include "gui/dialogs/Wait.h"
#include "platform/Version.h"
#include "platform/WorkFolder.h"
#include "platform/Reasons.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

// The file dialog's texts that Qt's Japanese translation leaves in English.
class TMissingQtTexts : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const std::pair<const char*, const char*> texts[] = {{"Folder", "フォルダー"},
                                                                    {"File", "ファイル"},
                                                                    {"%1 File", "%1 ファイル"},
                                                                    {"Drive", "ドライブ"}};
        for (const auto& [english, japanese] : texts)
            if (qstrcmp(source, english) == 0)
                return QString::fromUtf8(japanese);
        return {};
    }
    bool isEmpty() const override { return false; }
};

// Qt's own options, with one dash or two: those that take the next argument as their value,
// those written NAME=VALUE, and switches.
const std::set<std::string> kQtValueOptions{"platform",
                                            "platformpluginpath",
                                            "platformtheme",
                                            "plugin",
                                            "qwindowgeometry",
                                            "geometry",
                                            "qwindowtitle",
                                            "title",
                                            "qwindowicon",
                                            "icon",
                                            "session",
                                            "display",
                                            "name",
                                            "visual",
                                            "style",
                                            "stylesheet"};
const std::set<std::string> kQtAssignedOptions{"style", "stylesheet", "qmljsdebugger"};
const std::set<std::string> kQtSwitches{"reverse", "widgetcount", "nograb",
                                        "dograb",  "sync",        "testability"};

// How many arguments Qt's option at arguments[i] takes up (itself and its value); 0 when
// it is none of Qt's.
std::size_t qtOptionLength(const std::vector<std::string>& arguments, std::size_t i) {
    const std::string& argument = arguments[i];
    const std::string option = argument.substr(argument.starts_with("--") ? 2 : 1);
    const std::size_t equals = option.find('=');
    if (equals != std::string::npos)
        return kQtAssignedOptions.contains(option.substr(0, equals)) ? 1 : 0;
    if (kQtSwitches.contains(option))
        return 1;
    if (kQtValueOptions.contains(option))
        return i + 1 < arguments.size() ? 2 : 1;
    return 0;
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    TCommandLine commandLine;
    bool positionalOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!positionalOnly && (argument == "--help" || argument == "-h")) {
            commandLine.Help = true;
        } else if (!positionalOnly && argument == "--version") {
            commandLine.Version = true;
        } else if (!positionalOnly && (argument == "--ini" || argument.starts_with("--ini="))) {
            std::string value;
            if (argument == "--ini") {
                if (i + 1 == arguments.size()) {
                    commandLine.Error = "--ini にはファイルを指定してください";
                    break;
                }
                value = arguments[++i];
            } else {
                value = argument.substr(6);
            }
            if (value.empty()) {
                commandLine.Error = "--ini にはファイルを指定してください";
                break;
            }
            commandLine.IniFile = fs::absolute(fs::path(value));
        } else if (!positionalOnly && argument == "--") {
            positionalOnly = true;
        } else if (!positionalOnly && argument.size() > 1 && argument.front() == '-') {
            const std::size_t length = qtOptionLength(arguments, i);
            if (length == 0) {
                commandLine.Error = "知らないオプションです: " + argument;
                break;
            }
            i += length - 1;
        } else if (!commandLine.Archive.empty()) {
            commandLine.Error = "開けるアーカイブは1つだけです";
            break;
        } else {
            commandLine.Archive = fs::absolute(fs::path(argument));
        }
    }
    return commandLine;
}

std::string CommandLineUsage() {
    return "Usage: ruvpelton [--ini FILE] [ARCHIVE]\n"
           "RUV PELTON: handicapping of one racing day from its RUV archive.\n"
           "\n"
           "  ARCHIVE     a day archive (*.lzh) to open at start, as if chosen with\n"
           "              File > Open\n"
           "  --ini FILE  read the settings from FILE and write them back there at the\n"
           "              end of the run (default: ruvpelton.ini beside the program;\n"
           "              installed: ~/.config/ruvpelton/ruvpelton.ini)\n"
           "  -h, --help  print this text and end\n"
           "  --version   print the version and end\n"
           "\n"
           "Qt's own options, such as -platform NAME or -style NAME, are passed on to Qt.\n";
}

std::string VersionText() {
    return std::string("ruvpelton (RUV PELTON) ") + ProductVersion() + "\n" + Copyright() + "\n";
}

TRunEnvironment ProgramEnvironment(const TCommandLine& commandLine) {
    TRunEnvironment environment;
    environment.ProgramFile = fs::path(QCoreApplication::applicationFilePath().toStdString());
    environment.IniFile = commandLine.IniFile;
    environment.User = TUserFolders::FromEnvironment();
    environment.Archive = commandLine.Archive;
    return environment;
}

int RunPelton(const TRunEnvironment& environment) {
    // Ended from outside, the program leaves its event loops (an output walk stops
    // before its next race and discards its files, an open dialog is left) and then
    // closes the window as ファイル > 終了 closes it. Not quit(), which would close the
    // windows at once, in the middle of the walk.
    TEndingSignals endings;
    // what runs of this user that were killed left in the temporary folder
    RemoveAbandonedWorkFolders();
    QObject::connect(&endings, &TEndingSignals::received, [] {
        CancelRequested() = true;
        QCoreApplication::exit(0);
    });
    auto showError = [&environment](const QString& text) {
        if (environment.ShowErrorBox)
            environment.ShowErrorBox(text);
        else
            QMessageBox::critical(nullptr, QString::fromLatin1(TFormMain::kTitle), text);
    };
    const TProgramFiles files = ProgramFilesOf(environment.ProgramFile, environment.User);
    const bool ownIni = environment.IniFile.empty();
    const fs::path iniFile = ownIni ? files.SettingsFile : environment.IniFile;

    // The program is Japanese whatever LANG says: Qt's texts, and the dates, numbers and
    // file types of its dialogs; a translation that is not installed leaves texts in English
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    TMissingQtTexts missingTexts;
    QCoreApplication::installTranslator(&missingTexts);

    TSettings settings;
    try {
        settings.Load(iniFile, ownIni ? files.DefaultFolder : FolderText(iniFile));
        // the user's config folder may not hold the program's folder yet; a folder that
        // cannot be made is named by the first write into it
        std::error_code ignored;
        if (ownIni)
            fs::create_directories(iniFile.parent_path(), ignored);
    } catch (const std::exception& error) {
        // a settings file that cannot be read is never written over
        showError(qsjis(MessageOf(error)));
        return 1;
    }

    int exitCode = 0;
    {
        std::unique_ptr<TDupCheck> guard;
        // a later run hands its day to the first, which opens it
        const QString archive = QString::fromStdString(environment.Archive.string());
        try {
            guard = environment.GuardName.isEmpty()
                        ? std::make_unique<TDupCheck>(archive)
                        : std::make_unique<TDupCheck>(environment.GuardName,
                                                      environment.GuardFolder, archive);
        } catch (const EDupCheckError& error) {
            showError(QString::fromUtf8(error.what()));
            exitCode = 1;
        }
        if (guard && guard->TerminateRequested())
            return 0; // the first run owns the settings file

        if (guard) {
            // The title "RUV PELTON" is the main window's caption. No display name is given
            // to the application: the desktop would add it to every other window's caption.
            QApplication::setFont(TFormMain::DesignedFont());

            TFormMain formMain(settings, environment.ProgramFile);
            formMain.UseSettingsFile(iniFile);
            formMain.UseHelpFile(files.HelpFile);
            formMain.UseSampleFolder(files.SampleFolder);
            if (environment.ShowErrorBox)
                formMain.ShowErrorBox = environment.ShowErrorBox;
            formMain.FormCreate();
            auto* formVer = new TFormVer(environment.ProgramFile, &formMain);
            auto* formCfg = new TFormCfg(settings, &formMain);
            auto* formWait = new TFormWait(&formMain);
            formMain.UseForms(formVer, formCfg, formWait);
            QObject::connect(guard.get(), &TDupCheck::comeForward, &formMain,
                             [&formMain](const QString& handed) {
                                 formMain.BringForward();
                                 if (!handed.isEmpty())
                                     formMain.OpenHandedDay(fs::path(handed.toStdString()));
                             });

            formMain.show();
            // queued to the window, so that a quit still pending when the window is gone
            // dies with it instead of ending the next message loop
            QObject::connect(
                &formMain, &TFormMain::closed, &formMain, [] { QCoreApplication::quit(); },
                Qt::QueuedConnection);
            QTimer::singleShot(0, &formMain, [&] {
                // the archive of the command line, as if chosen in the open dialog
                if (!environment.Archive.empty() && formMain.CanOpenDay())
                    formMain.OpenDay(environment.Archive);
                if (environment.Started)
                    environment.Started(formMain);
            });
            QApplication::exec();
            // asked to quit with the window open: it closes as the user would close it
            if (!formMain.IsClosed())
                formMain.close();
        }
    }

    try {
        settings.Save(iniFile);
    } catch (const std::exception& error) {
        showError(qsjis(MessageOf(error)));
        exitCode = 1;
    }
    return exitCode;
}
