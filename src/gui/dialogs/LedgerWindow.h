#pragma once

#include "ledger/LedgerSummary.h"
#include "ledger/SeasonLedger.h"

#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>

struct TSettings;
class QLabel;
class QPushButton;
class TStrColGrid;

// The season ledger's own window. The page 概要 shows the overview, the mark and bet tables
// and the chart of the running return, as the toolkit-free ledger computed them; the page
// 条件を変えて再計算 replays the season under another rule. Below them: the season store's
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

protected:
    void showEvent(QShowEvent* event) override;

private:
    TLedger m_ledger;
    TLedgerSummary m_summary;
    const TSettings& m_settings;
    QLabel* m_labelSaved;
    QLabel* m_labelStore;
    QLabel* m_labelTime;
};
