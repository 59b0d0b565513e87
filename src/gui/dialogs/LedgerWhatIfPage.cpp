#include "gui/dialogs/LedgerWhatIfPage.h"

#include "gui/dialogs/ChartView.h"
#include "gui/support/QtBoundary.h"
#include "ledger/SeasonReplay.h"
#include "platform/Cp932.h"
#include "platform/Reasons.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// A sweep's key as the rule names it, with the range a user most likely tries first.
struct TSweepChoice {
    const char* key;
    const char* label;
    double from, to, step;
};
constexpr TSweepChoice kSweeps[] = {
    {"", "なし", 0, 0, 0},
    {"good", "good (よい指数の割合)", 0.80, 0.95, 0.01},
    {"margin", "margin (抜けた1位の差)", 0, 0.10, 0.01},
    {"scored", "scored (指数のある馬の割合)", 0.50, 1, 0.05},
    {"min-odds", "min-odds (買う最低オッズ)", 0, 20, 1},
    {"tickets", "tickets (買う点数)", 1, 6, 1},
};

QDoubleSpinBox* number(const char* name, double low, double high, double step, int decimals,
                       double value, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setDecimals(decimals);
    box->setValue(value);
    return box;
}

QDate dateOf(int yyyymmdd) {
    return {yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100};
}

int dayOf(const QDate& date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

QDateEdit* dateEdit(const char* name, int day, QWidget* parent) {
    auto* edit = new QDateEdit(dateOf(day), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    return edit;
}

std::string text(double value) {
    return QString::number(value, 'g', 10).toStdString();
}

std::string windowNote() {
    return sjis("注意: ある期間を見て選んだ条件は、その期間では実力以上に良く見えます。"
                "「条件を選ぶ期間」で選んだ条件を、後の「判定の期間」で確かめてください。");
}

} // namespace

TLedgerWhatIfPage::TLedgerWhatIfPage(std::filesystem::path store, int firstDay, int lastDay,
                                     QWidget* parent)
    : QWidget(parent), m_store(std::move(store)) {
    setObjectName(QStringLiteral("PageWhatIf"));
    const TRule defaults;
    m_good = number("EditGood", 0.01, 1, 0.01, 3, defaults.good, this);
    m_margin = number("EditMargin", 0, 0.99, 0.01, 3, defaults.margin, this);
    m_scored = number("EditScored", 0, 1, 0.05, 2, defaults.scored, this);
    m_minOdds = number("EditMinOdds", 0, 9999, 1, 1, defaults.minOdds, this);
    m_tickets = new QSpinBox(this);
    m_tickets->setObjectName(QStringLiteral("EditTickets"));
    m_tickets->setRange(0, 6);
    m_tickets->setValue(defaults.tickets);
    auto* rule = new QHBoxLayout;
    for (const auto& [label, box] : {std::pair<const char*, QWidget*>{"good", m_good},
                                     {"margin", m_margin},
                                     {"scored", m_scored},
                                     {"min-odds", m_minOdds},
                                     {"tickets", m_tickets}}) {
        rule->addWidget(new QLabel(QString::fromLatin1(label), this));
        rule->addWidget(box);
    }
    rule->addStretch(1);
    m_good->setToolTip(u("各馬の平均のこの割合に届かない指数は、よい指数に数えません (既定 0.87)"));
    m_margin->setToolTip(u("1位の得点が2位をこの割合より離せば抜けた1位とします (既定 0.02)"));
    m_scored->setToolTip(u("指数のある馬がこの割合より少ないレースは見送ります (既定 0.75)"));
    m_minOdds->setToolTip(u("オッズ(スナップショット)がこの値に届かない買い目は買いません。"
                            "0ならすべて買います"));
    m_tickets->setToolTip(u("買い目の順に、この点数までを買います (既定 6)"));

    m_sweepKey = new QComboBox(this);
    m_sweepKey->setObjectName(QStringLiteral("ComboSweep"));
    for (const TSweepChoice& choice : kSweeps)
        m_sweepKey->addItem(u(choice.label));
    m_sweepFrom = number("EditSweepFrom", 0, 9999, 0.01, 3, 0, this);
    m_sweepTo = number("EditSweepTo", 0, 9999, 0.01, 3, 0, this);
    m_sweepStep = number("EditSweepStep", 0, 9999, 0.01, 3, 0, this);
    auto* sweep = new QHBoxLayout;
    sweep->addWidget(m_sweepKey);
    for (const auto& [label, box] :
         {std::pair{"から", m_sweepFrom}, {"まで", m_sweepTo}, {"刻み", m_sweepStep}}) {
        sweep->addWidget(box);
        sweep->addWidget(new QLabel(u(label), this));
    }
    sweep->addStretch(1);
    connect(m_sweepKey, &QComboBox::currentIndexChanged, this, &TLedgerWhatIfPage::sweepKeyChanged);
    sweepKeyChanged(0);

    // by default the rule is judged on the last third of the days
    const int middle =
        dayOf(dateOf(firstDay).addDays(dateOf(firstDay).daysTo(dateOf(lastDay)) * 2 / 3));
    m_chosenFrom = dateEdit("DateChosenFrom", firstDay, this);
    m_chosenTo = dateEdit("DateChosenTo", lastDay, this);
    m_judge = new QCheckBox(u("判定の期間(&J)"), this);
    m_judge->setObjectName(QStringLiteral("CheckJudge"));
    m_judge->setToolTip(u("条件を選んだ期間のあとの開催日で、その条件と既定の条件を比べます"));
    m_judgeFrom = dateEdit("DateJudgeFrom", dayOf(dateOf(middle).addDays(1)), this);
    m_judgeTo = dateEdit("DateJudgeTo", lastDay, this);
    connect(m_judge, &QCheckBox::toggled, this, &TLedgerWhatIfPage::judgeToggled);
    judgeToggled(false);
    auto range = [this](QDateEdit* from, QDateEdit* to) {
        auto* row = new QHBoxLayout;
        row->addWidget(from);
        row->addWidget(new QLabel(u("～"), this));
        row->addWidget(to);
        row->addStretch(1);
        return row;
    };

    auto* form = new QFormLayout;
    form->addRow(u("条件:"), rule);
    form->addRow(u("掃引:"), sweep);
    form->addRow(u("条件を選ぶ期間:"), range(m_chosenFrom, m_chosenTo));
    form->addRow(m_judge, range(m_judgeFrom, m_judgeTo));

    auto* replay = new QPushButton(u("再計算(&R)"), this);
    replay->setObjectName(QStringLiteral("ButtonReplay"));
    replay->setToolTip(u("成績データベースの指数から、この条件で印と買い目を計算し直します。"
                         "開催日のファイルや予想は変わりません"));
    connect(replay, &QPushButton::clicked, this, &TLedgerWhatIfPage::ButtonReplayClick);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(replay);
    buttons->addStretch(1);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("TextWhatIf"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    // IPAGothic gives a kanji exactly two letters' width, as the columns' byte counts assume
    QFont fixed(QStringLiteral("IPAGothic"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    m_text->setFont(fixed);
    m_text->setPlaceholderText(u("条件を選んで「再計算」を押してください"));
    m_chart = new TChartView({}, this);
    m_chart->setObjectName(QStringLiteral("ChartSweep"));
    m_chart->hide();
    auto* note = new QLabel(qsjis(windowNote()), this);
    note->setObjectName(QStringLiteral("LabelFlattery"));
    note->setWordWrap(true);
    QPalette red = note->palette();
    red.setColor(QPalette::WindowText, QColor(0x8A, 0x1F, 0x11));
    note->setPalette(red);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_chart, 2);
    layout->addWidget(note);
}

TLedgerWhatIfPage::~TLedgerWhatIfPage() = default;

void TLedgerWhatIfPage::sweepKeyChanged(int index) {
    const TSweepChoice& choice = kSweeps[index < 0 ? 0 : index];
    for (QDoubleSpinBox* box : {m_sweepFrom, m_sweepTo, m_sweepStep})
        box->setEnabled(*choice.key != '\0');
    m_sweepFrom->setValue(choice.from);
    m_sweepTo->setValue(choice.to);
    m_sweepStep->setValue(choice.step);
}

void TLedgerWhatIfPage::judgeToggled(bool on) {
    m_judgeFrom->setEnabled(on);
    m_judgeTo->setEnabled(on);
    // the days a rule is chosen on end before those it is judged on
    if (on && m_chosenTo->date() >= m_judgeFrom->date())
        m_chosenTo->setDate(m_judgeFrom->date().addDays(-1));
}

TWhatIf TLedgerWhatIfPage::question() const {
    TWhatIf q;
    SetRuleValue(q.rule, "good", text(m_good->value()));
    SetRuleValue(q.rule, "margin", text(m_margin->value()));
    SetRuleValue(q.rule, "scored", text(m_scored->value()));
    SetRuleValue(q.rule, "min-odds", text(m_minOdds->value()));
    SetRuleValue(q.rule, "tickets", text(m_tickets->value()));
    if (const TSweepChoice& choice = kSweeps[std::max(m_sweepKey->currentIndex(), 0)];
        *choice.key != '\0')
        q.sweep = ParseSweep(std::string(choice.key) + "=" + text(m_sweepFrom->value()) + ":" +
                                 text(m_sweepTo->value()) + ":" + text(m_sweepStep->value()),
                             q.rule);
    q.chosen = {dayOf(m_chosenFrom->date()), dayOf(m_chosenTo->date())};
    if (q.chosen.from > q.chosen.to)
        throw ERuleError(sjis("条件を選ぶ期間の始めが終わりより後です"));
    if (m_judge->isChecked()) {
        q.judge = TLedgerRange{dayOf(m_judgeFrom->date()), dayOf(m_judgeTo->date())};
        CheckJudgeRange(q.chosen, *q.judge);
    }
    return q;
}

void TLedgerWhatIfPage::ButtonReplayClick() {
    try {
        const TWhatIf q = question();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct TRestore {
            ~TRestore() { QApplication::restoreOverrideCursor(); }
        } restore;
        if (!m_replay)
            m_replay = std::make_shared<const TSeasonReplay>(m_store);
        const TWhatIfAnswer answer = AnswerWhatIf(*m_replay, q);
        QStringList lines;
        for (const std::string& line : WhatIfLines(q, answer, {})) // the note stands below
            lines << qsjis(line);
        if (!answer.rule && !q.sweep && !q.judge)
            lines << u("既定の条件のままです。条件の数か掃引を変えてください");
        m_text->setPlainText(lines.join('\n'));
        m_chart->SetChart(SweepChart(q, answer));
        m_chart->setVisible(q.sweep.has_value());
    } catch (const std::exception& error) {
        if (ShowErrorBox)
            ShowErrorBox(qsjis(MessageOf(error)));
    }
}
