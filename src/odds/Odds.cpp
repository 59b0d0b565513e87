// TOdds: the odds of one race (win and place, bracket quinella, quinella, wide).
#include "odds/Odds.h"

#include "race/RaceBase.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kMaxBrackets = 8;

[[noreturn]] void raise(const char* className, const std::string& suffix) {
    throw EOddsError(className + suffix);
}

int pairCount(int n) {
    return n * (n - 1) / 2;
}

// The cell of runners i < j, pairs stored row by row.
std::size_t runnerPairIndex(int n, int i, int j) {
    return static_cast<std::size_t>((i - 1) * n + j - i * (i + 1) / 2 - 1);
}

} // namespace

TOddsBase::TOddsBase(const char* className, int size, int cellCount)
    : m_className(className), m_size(size), m_cellCount(cellCount) {}

int TOddsBase::checkedRunnerCount(const char* className, int n) {
    if (n < 1 || n > kMaxRunners)
        raise(className, ".Create");
    return n;
}

void TOddsBase::fail(const std::string& suffix) const {
    raise(m_className, suffix);
}

void TOddsBase::checkPair(const std::string& operation, int first, int second,
                          bool distinct) const {
    if (first < 1 || first > m_size)
        fail(operation + "1");
    if (second < 1 || second > m_size)
        fail(operation + "2");
    if (distinct && first == second)
        fail(operation + "3");
}

// Win and place.

namespace {
constexpr const char* kTan = "TOddsTan";
}

TOddsTan::TOddsTan(int n)
    : TOddsBase(kTan, checkedRunnerCount(kTan, n), n), m_cells(static_cast<std::size_t>(n)) {}

TOddsTan::Slot TOddsTan::slot(const std::string& operation, TBetKind kind, int runner) const {
    if (runner < 1 || runner > Size())
        fail(operation + "1");
    const auto cell = static_cast<std::size_t>(runner - 1);
    switch (kind) {
    case TBetKind::Win: return {cell, &Cell::win};
    case TBetKind::PlaceLower:
    case TBetKind::Place: return {cell, &Cell::placeLower};
    case TBetKind::PlaceUpper: return {cell, &Cell::placeUpper};
    default: fail(operation + "2");
    }
}

void TOddsTan::SetOdds(TBetKind kind, int runner, float value) {
    const Slot s = slot(".SetOdds", kind, runner);
    m_cells[s.cell].*s.member = value;
}

float TOddsTan::Odds(TBetKind kind, int runner) const {
    const Slot s = slot(".Odds", kind, runner);
    return m_cells[s.cell].*s.member;
}

// Bracket quinella.

namespace {
constexpr const char* kWak = "TOddsWak";

int bracketCount(int n) {
    return std::min(n, kMaxBrackets);
}
} // namespace

TOddsWak::TOddsWak(int n)
    : TOddsBase(kWak, bracketCount(checkedRunnerCount(kWak, n)),
                bracketCount(n) * (bracketCount(n) + 1) / 2),
      m_cells(static_cast<std::size_t>(CellCount()), -1.0f) {
    const int b = Size();
    for (int i = 1; i <= b; ++i)
        for (int j = i + 1; j <= b; ++j)
            m_cells[index("", i, j)] = 0;
    // Beyond 8 runners the brackets fill from the last one down, each taking a second
    // runner; only such a bracket can give a pair with itself.
    const int doubled = std::min(n, 2 * kMaxBrackets) - kMaxBrackets;
    for (int k = 0; k < doubled; ++k)
        m_cells[index("", kMaxBrackets - k, kMaxBrackets - k)] = 0;
}

std::size_t TOddsWak::index(const std::string& operation, int first, int second) const {
    const int b = Size();
    checkPair(operation, first, second, false);
    const int i = std::min(first, second);
    const int j = std::max(first, second);
    return static_cast<std::size_t>((i - 1) * b + j - (i - 1) * i / 2 - 1);
}

void TOddsWak::SetOdds(int first, int second, float value) {
    m_cells[index(".SetOdds", first, second)] = value;
}

float TOddsWak::Odds(int first, int second) const {
    return m_cells[index(".Odds", first, second)];
}

// Quinella.

namespace {
constexpr const char* kUma = "TOddsUma";
}

TOddsUma::TOddsUma(int n)
    : TOddsBase(kUma, checkedRunnerCount(kUma, n), pairCount(n)),
      m_cells(static_cast<std::size_t>(pairCount(n)), 0.0f) {}

std::size_t TOddsUma::index(const std::string& operation, int first, int second) const {
    checkPair(operation, first, second, true);
    return runnerPairIndex(Size(), std::min(first, second), std::max(first, second));
}

void TOddsUma::SetOdds(int first, int second, float value) {
    m_cells[index(".SetOdds", first, second)] = value;
}

float TOddsUma::Odds(int first, int second) const {
    return m_cells[index(".Odds", first, second)];
}

// Wide.

namespace {
constexpr const char* kWid = "TOddsWid";
}

TOddsWid::TOddsWid(int n)
    : TOddsBase(kWid, checkedRunnerCount(kWid, n), pairCount(n)),
      m_cells(static_cast<std::size_t>(pairCount(n))) {}

TOddsWid::Slot TOddsWid::slot(const std::string& operation, TBetKind kind, int first,
                              int second) const {
    checkPair(operation, first, second, true);
    const std::size_t cell =
        runnerPairIndex(Size(), std::min(first, second), std::max(first, second));
    switch (kind) {
    case TBetKind::WideLower: return {cell, &Cell::lower};
    case TBetKind::WideUpper: return {cell, &Cell::upper};
    default: fail(operation + "4");
    }
}

void TOddsWid::SetOdds(TBetKind kind, int first, int second, float value) {
    const Slot s = slot(".SetOdds", kind, first, second);
    m_cells[s.cell].*s.member = value;
}

float TOddsWid::Odds(TBetKind kind, int first, int second) const {
    const Slot s = slot(".Odds", kind, first, second);
    return m_cells[s.cell].*s.member;
}

// The container.

namespace {
constexpr const char* kOdds = "TOdds";

// The kinds of the pair tables: bracket quinella, quinella and wide.
bool isPairKind(TBetKind kind) {
    return kind >= TBetKind::BracketQuinella && kind <= TBetKind::WideTime;
}
} // namespace

void TOdds::Clear() {
    m_tan.reset();
    m_wak.reset();
    m_uma.reset();
    m_wid.reset();
    m_count = 0;
    m_sourceText.clear();
}

void TOdds::Init(int n) {
    Clear();
    if (n < 1 || n > kMaxRunners)
        raise(kOdds, ".Init");
    auto tan = std::make_unique<TOddsTan>(n);
    auto wak = std::make_unique<TOddsWak>(n);
    std::unique_ptr<TOddsUma> uma;
    std::unique_ptr<TOddsWid> wid;
    if (n > kMaxBrackets) {
        uma = std::make_unique<TOddsUma>(n);
        wid = std::make_unique<TOddsWid>(n);
    }
    m_tan = std::move(tan);
    m_wak = std::move(wak);
    m_uma = std::move(uma);
    m_wid = std::move(wid);
    m_count = n;
}

// A table that does not exist (quinella or wide in a small field, or any table while
// cleared) fails the operation's first check.
TOddsBase* TOdds::timeTable(const char* operation, TBetKind kind) const {
    TOddsBase* table = nullptr;
    if (kind <= TBetKind::Place)
        table = m_tan.get();
    else if (kind == TBetKind::BracketQuinella)
        table = m_wak.get();
    else if (kind == TBetKind::Quinella)
        table = m_uma.get();
    else if (kind <= TBetKind::WideTime)
        table = m_wid.get();
    else
        raise(kOdds, std::string(operation) + "2");
    if (!table)
        raise(kOdds, std::string(operation) + "1");
    return table;
}

void TOdds::SetTime(TBetKind kind, const std::string& text) {
    timeTable(".SetTime", kind)->SetTime(text);
}

const std::string& TOdds::Time(TBetKind kind) const {
    return timeTable(".Time", kind)->Time();
}

// The setter reports the reader's name.
void TOdds::SetOddsA(TBetKind kind, int runner, float value) {
    if (kind > TBetKind::Place || !m_tan)
        raise(kOdds, ".OddsA");
    m_tan->SetOdds(kind, runner, value);
}

float TOdds::OddsA(TBetKind kind, int runner) const {
    if (kind > TBetKind::Place || !m_tan)
        raise(kOdds, ".OddsA");
    return m_tan->Odds(kind, runner);
}

void TOdds::SetOddsB(TBetKind kind, int first, int second, float value) {
    if (!isPairKind(kind))
        raise(kOdds, ".SetOddsB2");
    if (kind == TBetKind::BracketQuinella && m_wak)
        m_wak->SetOdds(first, second, value);
    else if (kind == TBetKind::Quinella && m_uma)
        m_uma->SetOdds(first, second, value);
    else if (kind >= TBetKind::WideLower && m_wid)
        m_wid->SetOdds(kind, first, second, value);
    else
        raise(kOdds, ".SetOddsB1");
}

float TOdds::OddsB(TBetKind kind, int first, int second) const {
    if (!isPairKind(kind))
        raise(kOdds, ".OddsB2");
    if (kind == TBetKind::BracketQuinella && m_wak)
        return m_wak->Odds(first, second);
    if (kind == TBetKind::Quinella && m_uma)
        return m_uma->Odds(first, second);
    if (kind >= TBetKind::WideLower && m_wid)
        return m_wid->Odds(kind, first, second);
    raise(kOdds, ".OddsB1");
}
