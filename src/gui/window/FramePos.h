// TFramePos: the window positions kept in the settings file (or the user's settings).
#pragma once

#include "view/FramePosValue.h"

#include <filesystem>
#include <stdexcept>
#include <string>

class QMainWindow;
class QToolBar;
class QWidget;

// A window-position component used the wrong way: an owner that is not a window, or a
// window or tool bar without a name to store its value under.
class EFramePosError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Stores and restores the place of a window and of its tool bars, as comma-separated
// texts, either in section "Pos" of the settings file (UseIni) or in the user's settings
// store (QSettings in its native format) below "Software/ZAQ/" + the program's base name,
// or below "Software/" + KeyName, group "Pos".
//
// Values are named after the objects: the window by its objectName ("FormMain"), a tool
// bar by the window's name, a point and its own ("FormMain.ToolBar1").
//
// How the stored items map onto Qt:
// - the normal rectangle is QWidget::normalGeometry() (the geometry the window returns to
//   from maximized), right and bottom exclusive; restored with setGeometry. A rectangle
//   without area is not applied, and one that lies on no screen is moved onto the
//   window's screen, as the desktop itself does with a window placed off every screen;
// - the minimized and maximized positions belong to the window manager here: they are
//   stored as -1 and not applied;
// - the state is 1 when isMinimized(), 2 when isMaximized() or isFullScreen(), else 0.
//   A visible window is shown in that state at once; a window that is not yet shown
//   takes it with setWindowState and appears in it when shown;
// - a tool bar is visible unless isHidden() (so the value reads the same before the
//   window is first shown), docked unless isFloating(); its dock site is its
//   QMainWindow area, named "TopToolBarArea", "BottomToolBarArea", "LeftToolBarArea" or
//   "RightToolBarArea"; a name that is none of them keeps the tool bar's present area;
// - a docked tool bar's top and left are its place in the window and its dock sizes
//   (items 6 and 7) its thickness across its area, the same at every side. They are
//   stored but not applied: the area lays out and sizes its tool bars from their
//   contents. Its undocked size is its size hint, the size it takes when torn off;
// - a floating tool bar is a frameless tool window of its own, as when the user tears it
//   off: top, left, width and height are its screen rectangle. It appears at once, also
//   before its window is shown.
class TFramePos {
public:
    // Throws EFramePosError when owner is not a window.
    explicit TFramePos(QWidget* owner);

    // The settings store key below "Software/" (levels separated by '\' or '/'); empty
    // means "ZAQ/" + the program's base name.
    std::string KeyName;
    // true: values go to section "Pos" of IniFile; false: to the settings store.
    bool UseIni = false;
    // The settings file: the program's own (SettingsFilePath of the running program) unless
    // set otherwise.
    std::filesystem::path IniFile;

    // Stores one value (CP932 text). Throws EInOutError when it cannot be written, and
    // std::invalid_argument when the INI file cannot hold the name or the text on a line.
    void WritePosValue(const std::string& name, const std::string& text);
    // One value as CP932 text; empty when it, or its key in the settings store, is missing.
    // Throws EInOutError when the INI file exists but cannot be read.
    std::string ReadPosValue(const std::string& name) const;

    void SaveFormPos();
    // A value of fewer than nine items, or none, leaves the window as it is.
    void LoadFormPos();

    // The tool bar must be one of the owner's, which must be a QMainWindow; otherwise
    // EFramePosError is thrown.
    void SaveToolBarPos(QToolBar* toolBar);
    // A value of fewer than nine items, or none, leaves the tool bar as it is.
    void LoadToolBarPos(QToolBar* toolBar);

private:
    std::string formName() const;
    std::string toolBarName(const QToolBar& toolBar) const;
    QMainWindow& mainWindowOf(QToolBar* toolBar) const;

    QWidget* m_owner;
};
