#include "app/window/Run.h"

#include "app/Settings.h"
#include "app/window/DupCheck.h"
#include "app/window/Main.h"
#include "settings/Cfg.h"
#include "widgets/QtBoundary.h"
#include "widgets/Ver.h"
#include "widgets/Wait.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <memory>

namespace fs = std::filesystem;

TRunEnvironment ProgramEnvironment() {
    TRunEnvironment environment;
    environment.ProgramFile = fs::path(QCoreApplication::applicationFilePath().toStdString());
    return environment;
}

int RunPelton(const TRunEnvironment& environment) {
    auto showError = [&environment](const QString& text) {
        if (environment.ShowErrorBox)
            environment.ShowErrorBox(text);
        else
            QMessageBox::critical(nullptr, QString::fromLatin1(TFormMain::kTitle), text);
    };
    const fs::path iniFile = SettingsFilePath(environment.ProgramFile);

    TSettings settings;
    try {
        settings.Load(iniFile);
    } catch (const std::exception& error) {
        // a settings file that cannot be read is never written over
        showError(qsjis(error.what()));
        return 1;
    }

    int exitCode = 0;
    {
        std::unique_ptr<TDupCheck> guard;
        try {
            guard =
                environment.GuardName.isEmpty()
                    ? std::make_unique<TDupCheck>()
                    : std::make_unique<TDupCheck>(environment.GuardName, environment.GuardFolder);
        } catch (const EDupCheckError& error) {
            showError(QString::fromUtf8(error.what()));
            exitCode = 1;
        }
        if (guard && guard->TerminateRequested())
            return 0; // the first run owns the settings file

        if (guard) {
            QApplication::setApplicationDisplayName(QString::fromLatin1(TFormMain::kTitle));
            QApplication::setFont(TFormMain::DesignedFont());

            TFormMain formMain(settings, environment.ProgramFile);
            if (environment.ShowErrorBox)
                formMain.ShowErrorBox = environment.ShowErrorBox;
            formMain.FormCreate();
            formMain.FormVer = new TFormVer(environment.ProgramFile, &formMain);
            formMain.FormCfg = new TFormCfg(settings, &formMain);
            formMain.FormWait = new TFormWait(&formMain);
            QObject::connect(guard.get(), &TDupCheck::comeForward, &formMain,
                             &TFormMain::BringForward);

            formMain.show();
            QObject::connect(&formMain, &TFormMain::closed, qApp, &QCoreApplication::quit,
                             Qt::QueuedConnection);
            if (environment.Started)
                QTimer::singleShot(0, &formMain, [&] { environment.Started(formMain); });
            QApplication::exec();
            // asked to quit with the window open: it closes as the user would close it
            if (!formMain.IsClosed())
                formMain.close();
        }
    }

    try {
        settings.Save(iniFile);
    } catch (const std::exception& error) {
        showError(qsjis(error.what()));
        exitCode = 1;
    }
    return exitCode;
}
