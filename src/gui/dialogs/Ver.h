// TFormVer: the about box (バージョン情報).
#pragma once

#include "platform/VerInf.h"
#include "gui/support/AppHint.h"

#include <QDialog>

#include <filesystem>
#include <memory>

class QLabel;
class QMenu;
class QPushButton;
class TURLLabel;

// The about box "バージョン情報": the program's icon, product name, version and copyright
// from the program file's version record, and the maker's web and mail addresses as
// hyperlinks that a right click copies. While it shows, the application's hint goes
// nowhere, so that its hints never reach the main window's status bar.
class TFormVer : public QDialog {
    Q_OBJECT

public:
    // The maker's addresses shown in URLLabel1 and URLLabel2.
    static constexpr const char* kHomePage = "https://ruvpelton.example.org/";
    static constexpr const char* kMail = "support@ruvpelton.example.org";

    // Reads the version record of programFile (the running program's own file).
    explicit TFormVer(const std::filesystem::path& programFile, QWidget* parent = nullptr);
    ~TFormVer() override;

    // The reader of the program's version record; the output headers print its
    // ProductVersion.
    const TVerInf& VerInf() const { return *m_verInf; }

    void FormCreate();
    // Takes the application's hint handler away until the box closes.
    void FormShow();
    // OK: gives the hint handler back and closes the box.
    void Button1Click();
    // With the right button: remembers the label's tag and opens the copy menu at the pointer.
    void URLLabelMouseDown(TURLLabel* sender, Qt::MouseButton button, const QPoint& globalPosition);
    // Copies the caption of the label last right-clicked to the clipboard.
    void MCopyClick();

private:
    // Every component carries its name as object name.
    QLabel* Image1;
    QLabel* Label1; // product name
    QLabel* Label2; // version
    QLabel* Label3; // copyright
    QLabel* LabelHomePage;
    TURLLabel* URLLabel1; // tag 1
    QLabel* LabelMail;
    TURLLabel* URLLabel2; // tag 2
    QPushButton* Button1;
    QMenu* PopupMenu1;
    QAction* MCopy;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void giveHintBack();

    std::filesystem::path m_programFile;
    std::unique_ptr<TVerInf> m_verInf;
    int m_popupTag = 0;
    // The handler taken away while the box shows; given back on every way out.
    bool m_hintTaken = false;
    TAppHint::THandler m_savedHint;
};
