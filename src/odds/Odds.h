// TOdds: the odds of one race (win and place, bracket quinella, quinella, wide).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The odds of one race, by bet family. Odds are 32-bit floats (12.3 = 12.3 times the
// stake); -1 means no odds (shown as a dash), 0 a cell that no source has set. Runner,
// bracket and pair numbers are 1-based.

// The bet kinds through which the tables are read and written. The numbers are fixed:
// the tables refuse a kind outside their own range by comparing them.
enum class TBetKind : std::uint8_t {
    Win = 0,
    PlaceLower = 1,
    PlaceUpper = 2,
    Place = 3, // the place lower bound's cell
    BracketQuinella = 4,
    Quinella = 5,
    WideLower = 6,
    WideUpper = 7,
    WideTime = 8, // the wide table's time text; the wide table refuses odds of this kind
};

// A bad index or kind; the message is the class name of the object, a point and the
// operation with the number of its failed check ("TOddsUma.SetOdds3").
class EOddsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The common part of the four tables: size (runners or brackets), cell count and the
// time at which the source took the odds (empty until set).
class TOddsBase {
public:
    int Size() const { return m_size; }
    int CellCount() const { return m_cellCount; }
    const std::string& Time() const { return m_time; }
    void SetTime(const std::string& text) { m_time = text; }

protected:
    TOddsBase(const char* className, int size, int cellCount);

    // n itself when it is a runner count (1 to 18), else EOddsError "<className>.Create".
    static int checkedRunnerCount(const char* className, int n);
    [[noreturn]] void fail(const std::string& suffix) const;
    // Checks a pair of runners or brackets against Size(): check 1 the first, 2 the
    // second, and 3 that they differ when a pair of one with itself has no odds.
    void checkPair(const std::string& operation, int first, int second, bool distinct) const;

private:
    const char* m_className;
    int m_size;
    int m_cellCount;
    std::string m_time;
};

// Win and place odds by runner.
class TOddsTan : public TOddsBase {
public:
    explicit TOddsTan(int n);
    // Kinds Win to Place.
    void SetOdds(TBetKind kind, int runner, float value);
    float Odds(TBetKind kind, int runner) const;

private:
    struct Cell {
        float win = 0;
        float placeLower = 0;
        float placeUpper = 0;
    };
    struct Slot {
        std::size_t cell;
        float Cell::*member;
    };
    Slot slot(const std::string& operation, TBetKind kind, int runner) const;

    std::vector<Cell> m_cells;
};

// Bracket quinella odds by bracket pair, of min(n, 8) brackets; a pair may repeat the
// bracket. Pairs in either order address the same cell.
class TOddsWak : public TOddsBase {
public:
    // The pairs of two brackets start at 0; a pair of a bracket with itself starts at
    // -1 unless the bracket holds two runners.
    explicit TOddsWak(int n);
    void SetOdds(int first, int second, float value);
    float Odds(int first, int second) const;

private:
    std::size_t index(const std::string& operation, int first, int second) const;

    std::vector<float> m_cells;
};

// Quinella odds by runner pair of two different runners, in either order.
class TOddsUma : public TOddsBase {
public:
    explicit TOddsUma(int n);
    void SetOdds(int first, int second, float value);
    float Odds(int first, int second) const;

private:
    std::size_t index(const std::string& operation, int first, int second) const;

    std::vector<float> m_cells;
};

// Wide odds (kinds WideLower and WideUpper) by runner pair, in either order.
class TOddsWid : public TOddsBase {
public:
    explicit TOddsWid(int n);
    void SetOdds(TBetKind kind, int first, int second, float value);
    float Odds(TBetKind kind, int first, int second) const;

private:
    struct Cell {
        float lower = 0;
        float upper = 0;
    };
    struct Slot {
        std::size_t cell;
        float Cell::*member;
    };
    Slot slot(const std::string& operation, TBetKind kind, int first, int second) const;

    std::vector<Cell> m_cells;
};

// The odds container of the current race: cleared (Count() == 0, no tables) or loaded
// with the tables of its runner count. Quinella and wide tables exist only for fields
// of more than 8 runners.
class TOdds {
public:
    TOdds() = default;
    ~TOdds() = default;
    TOdds(const TOdds&) = delete;
    TOdds& operator=(const TOdds&) = delete;

    void Clear();
    // Clears, then loads n runners with every cell at its initial value; n outside 1 to
    // 18 gives "TOdds.Init" and leaves the container cleared.
    void Init(int n);
    int Count() const { return m_count; }
    bool HasHorseQuinella() const { return m_count > 8; }
    // The kind under which the program's own quinella bets are looked up: quinella in
    // fields of more than 8 runners, else bracket quinella.
    TBetKind QuinellaKind() const {
        return HasHorseQuinella() ? TBetKind::Quinella : TBetKind::BracketQuinella;
    }

    // The time text of the table of kind (Win to Place the win and place table,
    // WideLower to WideTime the wide table).
    void SetTime(TBetKind kind, const std::string& text);
    const std::string& Time(TBetKind kind) const;

    // Kinds Win to Place.
    void SetOddsA(TBetKind kind, int runner, float value);
    float OddsA(TBetKind kind, int runner) const;
    // Kinds BracketQuinella to WideUpper (WideTime reaches the wide table, which refuses
    // it).
    void SetOddsB(TBetKind kind, int first, int second, float value);
    float OddsB(TBetKind kind, int first, int second) const;

    // Where the loaded odds came from, for display ("RUV予想"); empty when cleared.
    const std::string& SourceText() const { return m_sourceText; }
    void SetSourceText(const std::string& text) { m_sourceText = text; }

private:
    TOddsBase* timeTable(const char* operation, TBetKind kind) const;

    int m_count = 0;
    std::string m_sourceText;
    std::unique_ptr<TOddsTan> m_tan;
    std::unique_ptr<TOddsWak> m_wak;
    std::unique_ptr<TOddsUma> m_uma;
    std::unique_ptr<TOddsWid> m_wid;
};
