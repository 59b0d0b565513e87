// TSem: the time database time.dbx and the speed figure of one past run.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ESemError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class ESemOpenError : public ESemError {
public:
    using ESemError::ESemError;
};
class ESemFormatError : public ESemError {
public:
    using ESemError::ESemError;
};

// SEMDIST.DBX record: the figure points per tenth of a second, times ten.
struct TSemDistRecord {
    std::uint16_t key; // distance in metres div 100
    std::uint16_t factor;
};

// SEMTIME.DBX record: the standard times in tenths of a second.
struct TSemTimeRecord {
    std::uint16_t key; // distance in metres div 10 plus the one-digit course code
    std::uint16_t turf;
    std::uint16_t dirt;
};

// SEMBABA.DBX record: the day's track variants in figure points.
struct TSemBabaRecord {
    std::int32_t key;  // YYMMDD times 10 plus the one-digit course code
    std::int16_t turf; // kNoVariant = none
    std::int16_t dirt;
};

// What one CalcFigure read from the tables and formed, in the order it did; the steps
// after a failed lookup keep their zero values.
struct TSemSteps {
    // the six inputs as CalcFigure found them, the date not yet reduced
    std::int32_t date = 0;
    std::int32_t course = 0;
    std::int32_t dirt = 0;
    std::int32_t distance = 0;
    std::int32_t time = 0;
    std::int32_t weight = 0;

    std::int32_t shortDate = 0; // YYMMDD
    std::uint16_t distanceKey = 0;
    bool factorFound = false; // a record of the key exists (its factor may be 0)
    std::uint16_t factor = 0;
    std::uint16_t timeKey = 0;
    bool standardFound = false;
    std::uint16_t standard = 0; // of the surface raced on
    std::int32_t dayKey = 0;
    bool variantFound = false;
    std::int16_t variantStored = 0; // as the record holds it; kNoVariant = none
    std::int16_t variant = 0;       // as added
    std::int64_t run = 0;           // the finishing time in tenths of a second
    double speed = 0;               // (standard - run) x factor / 10
    double withBase = 0;            // + 80
    double withVariant = 0;         // + variant
    double weightPoints = 0;        // (weight / 10 - 55) x 2
    double unfloored = 0;           // + weightPoints, before the floor at 0
    std::uint8_t failStep = 0;      // TSem::kFound .. kNoTrackVariant
};

// The time database time.dbx: turns one past race into a speed figure. Set the six
// inputs, call CalcFigure, read Figure() when it returned true.
class TSem {
public:
    static constexpr std::int16_t kNoVariant = 999;
    enum : std::uint8_t {
        kFound = 0,
        kNoDistanceFactor = 1,
        kNoStandardTime = 2,
        kNoTrackVariant = 3
    };

    // Loads folder/time.dbx; an empty folder is the current folder. Throws
    // ESemOpenError when the file does not exist, EInOutError when it cannot be read,
    // ESemFormatError naming the section whose header is wrong or whose records the
    // file does not hold in full.
    explicit TSem(const std::string& folder);
    // The same over the bytes of a time.dbx already in memory; Folder() is empty.
    static TSem FromBytes(std::string_view bytes);
    // A database without records, for a prediction from figures already computed.
    static TSem Empty() { return TSem(); }

    // Computes Figure() and FailStep() from the inputs; false when the distance factor
    // or the standard time is missing (Figure() is then 0). Date is left reduced to
    // YYMMDD.
    bool CalcFigure();

    // Inputs.
    std::int32_t Date = 0;     // YYYYMMDD
    std::int32_t Course = 0;   // one-digit course code 0..9
    std::int32_t Dirt = 0;     // 0 = turf
    std::int32_t Distance = 0; // metres
    std::int32_t Time = 0;     // MSSd digits, 1234 = 1:23.4
    std::int32_t Weight = 0;   // tenths of a kilogram

    // Outputs.
    float Figure() const { return m_figure; }
    std::uint8_t FailStep() const { return m_steps.failStep; }
    // How the last CalcFigure came to Figure() and FailStep().
    const TSemSteps& Steps() const { return m_steps; }

    // Ends with a separator.
    const std::string& Folder() const { return m_folder; }
    const std::vector<TSemDistRecord>& DistanceFactors() const { return m_distanceFactors; }
    const std::vector<TSemTimeRecord>& StandardTimes() const { return m_standardTimes; }
    const std::vector<TSemBabaRecord>& TrackVariants() const { return m_trackVariants; }

private:
    TSem() = default;
    void load(std::string_view bytes);

    std::string m_folder;
    std::vector<TSemDistRecord> m_distanceFactors;
    std::vector<TSemTimeRecord> m_standardTimes;
    std::vector<TSemBabaRecord> m_trackVariants;
    // where the record that counts for a key is: the last of it in the file for a distance
    // or a standard time, the first for a day
    std::unordered_map<std::uint16_t, std::size_t> m_factorOf;
    std::unordered_map<std::uint16_t, std::size_t> m_standardOf;
    std::unordered_map<std::int32_t, std::size_t> m_variantOf;
    float m_figure = 0;
    TSemSteps m_steps;
};
