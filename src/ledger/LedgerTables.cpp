#include "ledger/LedgerTables.h"

#include "analysis/Focus.h"
#include "platform/Cp932.h"
#include "platform/Format.h"

#include <algorithm>

namespace {

std::string count(long long n) {
    return std::to_string(n);
}

std::vector<std::string> headings(std::initializer_list<const char*> utf8) {
    std::vector<std::string> texts;
    for (const char* text : utf8)
        texts.push_back(sjis(text));
    return texts;
}

std::vector<std::string> betCells(const TBetTally& b) {
    return {count(b.races),
            count(b.bets),
            count(b.hits),
            count(b.racesHit),
            RateText(b.racesHit, b.races),
            GroupedDigits(b.stake),
            GroupedDigits(b.paid),
            RateText(b.paid, b.stake)};
}

const std::vector<std::string>& betHeadings() {
    static const std::vector<std::string> texts =
        headings({"購入R", "点数", "的中", "的中R", "的中率", "投資", "払戻", "回収率"});
    return texts;
}

TLedgerTable areaTable(const char* first, const std::vector<TAreaTally>& areas) {
    TLedgerTable table;
    table.headings = headings({first, "レース", "確定"});
    table.headings.insert(table.headings.end(), betHeadings().begin(), betHeadings().end());
    for (const TAreaTally& area : areas) {
        std::vector<std::string> row{area.name, count(area.races), count(area.settled)};
        std::vector<std::string> bets = betCells(area.bets);
        row.insert(row.end(), bets.begin(), bets.end());
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace

TLedgerTable MarkTable(const TLedgerSummary& summary) {
    TLedgerTable table;
    table.headings = headings({"印", "頭数", "1着", "勝率", "連対", "連対率", "3着判明", "複勝圏",
                               "複勝率", "単回収率", "複勝R", "複回収率"});
    auto row = [&table](const std::string& mark, const TMarkTally& m) {
        table.rows.push_back(
            {mark, count(m.runners), count(m.wins), RateText(m.wins, m.runners), count(m.topTwo),
             RateText(m.topTwo, m.runners), count(m.topThreeRunners), count(m.topThree),
             RateText(m.topThree, m.topThreeRunners),
             RateText(m.winPaid, m.oddsRunners * kTicketYen),
             m.placeRuns == 0 ? sjis("—") : count(m.placeRuns),
             m.placeRuns == 0 ? sjis("—") : RateText(m.placePaid, m.placeRuns * kTicketYen)});
    };
    // the two × marks apart, then together
    TMarkTally crosses;
    for (int position = 1; position <= kLedgerMarks; ++position) {
        const TMarkTally& m = summary.marks[static_cast<std::size_t>(position - 1)];
        const bool cross = position > kLedgerMarks - 2;
        row(MarkSymbol(position) + (cross ? std::to_string(position) : std::string()), m);
        if (cross)
            crosses.Add(m);
    }
    row(MarkSymbol(kLedgerMarks), crosses);
    return table;
}

TLedgerTable BetTable(const TLedgerSummary& summary) {
    TLedgerTable table;
    table.headings = headings({"式別"});
    table.headings.insert(table.headings.end(), betHeadings().begin(), betHeadings().end());
    const std::pair<const char*, const TBetTally*> kinds[] = {
        {"枠連", &summary.bracketBets}, {"馬連", &summary.runnerBets}, {"合計", &summary.allBets}};
    for (const auto& [name, tally] : kinds) {
        std::vector<std::string> row{sjis(name)};
        std::vector<std::string> cells = betCells(*tally);
        row.insert(row.end(), cells.begin(), cells.end());
        table.rows.push_back(std::move(row));
    }
    return table;
}

TLedgerTable VenueBetTable(const TLedgerSummary& summary) {
    return areaTable("場", summary.venues);
}

TLedgerTable MonthBetTable(const TLedgerSummary& summary) {
    return areaTable("月", summary.months);
}

TLedgerTable RaceListTable(const std::vector<const TLedgerRace*>& races) {
    TLedgerTable table;
    table.headings =
        headings({"日付", "場", "R", "頭数", "印", "1着", "2着", "買い目", "的中", "投資", "払戻"});
    auto runner = [](int n) { return n == 0 ? std::string() : count(n); };
    for (const TLedgerRace* race : races) {
        std::string marks;
        std::string bets;
        for (int p = 1; p <= kLedgerMarks; ++p)
            if (const int n = race->marked[static_cast<std::size_t>(p - 1)]; n != 0)
                marks += (marks.empty() ? "" : " ") + MarkSymbol(p) + count(n);
        for (const TLedgerBet& bet : race->bets)
            bets += Format("%s%d-%d", bets.empty() ? "" : " ", bet.lower, bet.higher);
        TBetTally tally;
        tally.Add(*race);
        const bool settled = race->Settled();
        table.rows.push_back({DateText(race->date), race->venue, count(race->number),
                              count(race->runners), marks, runner(race->First()),
                              runner(race->Second()), bets.empty() ? sjis("見送り") : bets,
                              settled ? count(tally.hits) : std::string(),
                              settled ? GroupedDigits(tally.stake) : std::string(),
                              settled ? GroupedDigits(tally.paid) : std::string()});
    }
    return table;
}

std::string RateText(long long part, long long whole) {
    return whole == 0
               ? "-"
               : Format("%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
}

std::string GroupedDigits(long long value) {
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0 && digits[i - 1] != '-'; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

std::string TimeDatabaseText(const TLedgerSummary& s) {
    return sjis("タイムデータ: ") + s.timeDatabase;
}

std::string OverviewText(const TLedgerSummary& s) {
    std::string text = Format(sjis("期間 %s～%s  開催日 %d  レース %d  確定 %d  未確定 %d  "
                                   "結果不明の出走馬 %d")
                                  .c_str(),
                              DateText(s.firstDate).c_str(), DateText(s.lastDate).c_str(), s.days,
                              s.races, s.settled, s.races - s.settled, s.unknownRunners);
    if (s.skippedArchives > 0)
        text += Format(sjis("  読めなかったアーカイブ %d").c_str(), s.skippedArchives);
    if (s.daysWithoutOdds > 0)
        text += Format(sjis("  オッズのない開催日 %d").c_str(), s.daysWithoutOdds);
    return text;
}

const std::string& SnapshotNote() {
    return sjis("払戻はオッズのスナップショットから計算した値で、確定配当ではありません。");
}

const std::string& PlaceNote() {
    return sjis("複回収率は複勝オッズの下限から計算し、複勝オッズのある RX・JRDB "
                "のオッズのレースだけを数えます。複勝R はその出走数で、— はそのレースがないことを"
                "示します。");
}

std::vector<std::string> TableLines(const TLedgerTable& table) {
    std::vector<std::size_t> widths(table.headings.size(), 0);
    auto measure = [&widths](const std::vector<std::string>& cells) {
        for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], cells[c].size());
    };
    measure(table.headings);
    for (const auto& row : table.rows)
        measure(row);
    auto line = [&widths](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c) {
            const std::string pad(widths[c] - cells[c].size(), ' ');
            text += c == 0 ? cells[c] + pad : "  " + pad + cells[c];
        }
        return text;
    };
    std::vector<std::string> lines{line(table.headings)};
    for (const auto& row : table.rows)
        lines.push_back(line(row));
    return lines;
}
