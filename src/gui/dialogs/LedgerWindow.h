#pragma once

#include "ledger/LedgerSummary.h"
#include "ledger/SeasonLedger.h"

#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>

struct TSettings;
class QDateEdit;
class QLabel;
class QPushButton;
class TStrColGrid;

// The season ledger's own window. The page 概要 shows the overview, the mark and bet tables
// and the chart of the running return, as the toolkit-free ledger computed them; the page
// 条件別 the breakdowns, a click on a value of which narrows the page レース一覧 to its
// races, where a double click opens a race in the main window; the page 条件を変えて再計算
// replays the season under another rule. Below the tabs, the range of days (from, to),
// which 集計し直す computes the ledger over. Below them: the season store's
// path with a button that chooses another file for it, and a button that writes ledger.csv
// and ledger.html into a folder the user chooses (starting at OutTxt).
class TFormLedger : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDesignedWidth = 780;
    static constexpr int kDesignedHeight = 840;
    static constexpr int kFrameHeight = 40; // the window manager's title bar and border

    TFormLedger(TLedger ledger, const TSettings& settings, QWidget* parent = nullptr);

    // Shows an error: a message box captioned "エラー", unless replaced.
    std::function<void(const QString& text)> ShowErrorBox;

    // Asks for a folder and writes the two files into it.
    void ButtonSaveClick();
    // Asks where the season store shall lie from the next ledger on, and hands the file
    // to StoreChosen.
    void ButtonStoreClick();
    std::function<void(const std::filesystem::path& file)> StoreChosen;
    // Asks for the folder of the time database the ledger uses from the next ledger on (the
    // main window keeps its own), and hands it to TimeChosen.
    void ButtonTimeClick();
    std::function<void(const std::filesystem::path& folder)> TimeChosen;
    // Opens race seq (from 0) of the day archive in the main window, whose marks were
    // computed with timeDatabase; answers what the user should know (empty: nothing).
    std::function<QString(const std::filesystem::path& archive, int seq,
                          const std::filesystem::path& timeDatabase)>
        OpenRace;
    // 集計し直す: hands the range of the two dates below the tabs to RangeChosen, which
    // computes the ledger of the same folder over it.
    void ButtonRangeClick();
    std::function<void(TLedgerRange range)> RangeChosen;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TLedger m_ledger;
    TLedgerSummary m_summary;
    const TSettings& m_settings;
    QLabel* m_labelSaved;
    QLabel* m_labelStore;
    QLabel* m_labelTime;
    QDateEdit* m_from;
    QDateEdit* m_to;
};
