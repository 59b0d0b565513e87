#include "ledger/SeasonLedger.h"

#include "ledger/SeasonReplay.h"

#include "ledger/StoreLedger.h"
#include "platform/Cp932.h"
#include "season/SeasonFolder.h"
#include "season/StoreUpdate.h"
#include "session/ProgramFiles.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string pathText(const fs::path& path) {
    return toCp932Lenient(path.string());
}

fs::path storeFileFor(const TSettings& settings, const fs::path& folder, const fs::path& chosen) {
    return chosen.empty()
               ? DefaultStoreFile(TUserFolders::FromEnvironment(), StoreSourceOf(settings, folder))
               : chosen;
}

} // namespace

template <typename Work> auto TSeasonLedger::whole(Work work) {
    try {
        return work();
    } catch (const ESqliteError& error) {
        if (!error.IsDamage())
            throw;
        // a store whose pages no longer hold together is built again from the archives
        m_store->SetAside(error.what());
        m_updater = std::make_unique<TStoreUpdater>(*m_store, m_settings, m_folder);
        return work();
    }
}

TSeasonLedger::TSeasonLedger(const TSettings& settings, const fs::path& folder, TLedgerRange range,
                             const fs::path& storeFile, int busyMilliseconds)
    : m_settings(settings), m_folder(folder), m_range(range) {
    if (range.from != 0 && range.to != 0 && range.from > range.to)
        throw ELedgerError(sjis("期間の始め ") + DateText(range.from) + sjis(" が終わり ") +
                           DateText(range.to) + sjis(" より後です"));
    m_store =
        std::make_unique<TSeasonStore>(storeFileFor(settings, folder, storeFile), busyMilliseconds);
    whole([this] { m_updater = std::make_unique<TStoreUpdater>(*m_store, m_settings, m_folder); });
    // the days before the range can give no result to the days in it
    const std::vector<TSeasonDay>& days = m_updater->Days();
    if (std::none_of(days.begin(), days.end(),
                     [this](const TSeasonDay& d) { return isKept(d.date); }))
        throw ELedgerError(pathText(folder) + sjis("に期間内の開催日のデータがありません"));
}

TSeasonLedger::~TSeasonLedger() = default;

int TSeasonLedger::DayCount() const {
    return m_updater->DaysToRead();
}

TLedger TSeasonLedger::Run(const TOutputProgress& progress) {
    return whole([this, &progress] { return runOnce(progress); });
}

TLedger TSeasonLedger::runOnce(const TOutputProgress& progress) {
    const TStoreUpdate update = m_updater->Run(progress);
    TLedger ledger;
    ledger.store = m_store->File();
    if (!m_store->SetAsideNote().empty())
        ledger.storeNotes.push_back(m_store->SetAsideNote());
    if (update.recomputed)
        ledger.storeNotes.push_back(
            sjis("時計データベースかオッズの設定が変わったため、すべての開催日を読み直しました"));
    for (const std::string& name : update.dropped)
        ledger.storeNotes.push_back(name +
                                    sjis(": ファイルがなくなったため、その開催日を除きました"));
    if (update.cancelled) {
        ledger.cancelled = true;
        return ledger;
    }
    TLedger computed = compute(update);
    computed.store = ledger.store;
    computed.storeNotes = std::move(ledger.storeNotes);
    if (computed.days == 0)
        throw NoReadableDay(m_folder, computed.problems);
    return computed;
}

std::shared_ptr<const TSeasonReplay> TSeasonLedger::Replay() const {
    if (!m_replay)
        m_replay = std::make_shared<const TSeasonReplay>(m_store->Database());
    return m_replay;
}

TLedger TSeasonLedger::compute(const TStoreUpdate& update) {
    TSqliteDatabase& db = m_store->Database();
    m_replay.reset(); // the update may have changed the store
    const bool replayed = m_rule != TRule{};
    TStoredRaces stored = replayed ? Replay()->Stored() : ReadStoredRaces(db);
    RefreshLedgerTable(db, stored);
    TLedger ledger;
    ledger.rule = m_rule;
    std::error_code ignored;
    ledger.timeDatabase =
        fs::absolute(m_settings.Folder.Time.empty() ? "." : m_settings.Folder.Time, ignored) /
        "time.dbx";
    std::vector<TLedgerRace> ruled =
        replayed ? Replay()->Races(m_rule) : std::vector<TLedgerRace>{};
    std::vector<TMarketRace> marketRaces = MarketRaces(stored);
    std::vector<TMarketRace> market;
    for (std::size_t i = 0; i < stored.races.size(); ++i) {
        if (!isKept(stored.days[i]))
            continue;
        market.push_back(std::move(marketRaces[i]));
        ledger.races.push_back(std::move(replayed ? ruled[i] : stored.races[i]));
        if (replayed)
            ledger.defaults.push_back(std::move(stored.races[i]));
    }
    ledger.market = CompareWithMarket(market);
    // entries that are no day archives first, then the problems of the days from the
    // range's start on, in date order
    ledger.problems = update.skipped;
    ledger.skippedArchives = static_cast<int>(update.skipped.size());
    std::vector<std::pair<int, std::string>> problems;
    for (const TStoreUpdate::TUnreadable& u : update.unreadable)
        if (u.date >= m_range.from) {
            problems.emplace_back(u.date, u.problem);
            ++ledger.skippedArchives;
        }
    ledger.warnings = update.duplicates;
    TSqliteStatement notes(db, "SELECT date, kind, text FROM day_note WHERE date >= ? "
                               "ORDER BY date, seq");
    notes.Bind(1, m_range.from);
    while (notes.Step()) {
        std::string text = toCp932Lenient(notes.Text(2));
        if (notes.Text(1) == "warning")
            ledger.warnings.push_back(std::move(text));
        else
            problems.emplace_back(notes.Int(0), std::move(text));
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [date, problem] : problems)
        ledger.problems.push_back(std::move(problem));
    TSqliteStatement days(db, "SELECT date, has_odds, archive FROM day");
    while (days.Step())
        if (isKept(days.Int(0))) {
            ++ledger.days;
            ledger.daysWithoutOdds += days.Int(1) == 0 ? 1 : 0;
            ledger.archives[days.Int(0)] = m_folder / fs::path(days.Text(2));
        }
    return ledger;
}
