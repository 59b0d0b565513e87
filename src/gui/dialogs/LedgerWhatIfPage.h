#pragma once

#include "ledger/WhatIf.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QPlainTextEdit;
class QSpinBox;
class TChartView;
class TSeasonReplay;

// The ledger window's page 条件を変えて再計算: the rule's numbers, a sweep of one of them,
// the days the rule is chosen on and a later range to judge it on. Each 再計算 replays the
// season from its store, read at the first one, and shows the comparison with the defaults,
// the sweep's rows and its chart.
class TLedgerWhatIfPage : public QWidget {
    Q_OBJECT

public:
    // firstDay and lastDay (YYYYMMDD): the ledger's days, which the ranges start with.
    TLedgerWhatIfPage(std::filesystem::path store, int firstDay, int lastDay, QWidget* parent);
    ~TLedgerWhatIfPage() override;

    // Shows an error: set by the window.
    std::function<void(const QString& text)> ShowErrorBox;

    void ButtonReplayClick();

private:
    // The question the page's fields ask; throws ERuleError (CP932) for one that cannot be
    // asked.
    TWhatIf question() const;
    void sweepKeyChanged(int index);
    void judgeToggled(bool on);

    std::filesystem::path m_store;
    std::shared_ptr<const TSeasonReplay> m_replay;
    QDoubleSpinBox* m_good;
    QDoubleSpinBox* m_margin;
    QDoubleSpinBox* m_scored;
    QDoubleSpinBox* m_minOdds;
    QSpinBox* m_tickets;
    QComboBox* m_sweepKey;
    QDoubleSpinBox* m_sweepFrom;
    QDoubleSpinBox* m_sweepTo;
    QDoubleSpinBox* m_sweepStep;
    QDateEdit* m_chosenFrom;
    QDateEdit* m_chosenTo;
    QCheckBox* m_judge;
    QDateEdit* m_judgeFrom;
    QDateEdit* m_judgeTo;
    QPlainTextEdit* m_text;
    TChartView* m_chart;
};
