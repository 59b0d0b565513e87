// TFormWait: the progress dialog of the output commands.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress dialog of the output commands, shown modeless while a command walks the
// day's races. Showing it clears CancelRequested; キャンセル sets it, and so does any
// attempt to close it (Escape, the window manager): the command ends the walk before
// the next race and hides the dialog.
class TFormWait : public QDialog {
    Q_OBJECT

public:
    explicit TFormWait(QWidget* parent = nullptr);

    // A walk over total races begins: the bar is empty, the count label blank.
    void SetTotal(int total);
    // The walk has reached race position; count is the count label's text, such as
    // "処理数  3/36".
    void SetProgress(int position, const QString& count);

    void FormShow();
    void ButtonCancelClick();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_label1;
    QProgressBar* m_progressBar1;
    QLabel* m_label2; // the count
    QPushButton* m_buttonCancel;
};
