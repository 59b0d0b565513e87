#pragma once

#include <QString>

#include <functional>

// The application's hint: the status text of the control under the pointer or of the
// highlighted menu item, as the widgets announce it (their status tips). Every change
// goes to one handler, the main window's status bar; no window shows status tips by
// itself. While no handler is set, the hint is still kept but shown nowhere.
class TAppHint {
public:
    using THandler = std::function<void(const QString& hint)>;

    // The hint now, empty while the pointer rests on nothing that has one.
    static QString Hint();
    static const THandler& OnHint();
    // Sets the handler (an empty one takes it away) and returns the one it replaces.
    // Needs the QApplication.
    static THandler SetOnHint(THandler handler);
};
