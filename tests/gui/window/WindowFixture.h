#pragma once

#include "support/gui/NamedChild.h"
#include "session/Settings.h"
#include "gui/window/Main.h"
#include "platform/WorkFolder.h"

#include <QIcon>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

// A program folder of its own for each test: the program file's name "ruvpelton", its
// settings file and, when asked for, a time database and the help file beside it.
class WindowTest : public ::testing::Test {
protected:
    std::filesystem::path folder() const { return m_folder.path(); }
    std::filesystem::path program() const { return folder() / "ruvpelton"; }
    std::filesystem::path ini() const { return folder() / "ruvpelton.ini"; }
    std::string folderText() const { return m_folder.folderText(); }

    // time.dbx in the program folder, the default Time folder, so the prediction exists
    void writeTimeDb() const;
    void writeIni(const std::string& text) const;
    std::string readIni() const;

    // The settings as the run loads them, and the main window made and created over them.
    TSettings& loadSettings();
    std::unique_ptr<TFormMain> makeWindow();
    // Gives the window its other forms as the run does; the about box reads the version
    // record of this test program.
    void useForms(TFormMain& window);

    TWorkFolder m_folder;
    TSettings m_settings;
    QStringList m_errors;   // the error boxes shown
    QStringList m_warnings; // the warning boxes shown
};

// The two icons show the same picture at the window's 16 pixels.
bool samePicture(const QIcon& shown, const QIcon& expected);
