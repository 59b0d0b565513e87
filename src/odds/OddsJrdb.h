// TOddsJrdb: the odds of a JRDB odds archive (the oz and ow files).
#pragma once

#include "odds/OddsFile.h"

// The bytes of a day's two JRDB odds files.
struct TJrdbOddsFiles {
    std::string oz;
    std::string ow;
};

// The odds of JRDB: the oz file (win, place and quinella or bracket quinella) and the
// ow file (wide) out of the day's JRDB archive ("jrdb" + day code + ".lzh").
class TOddsJrdb : public TOddsFile {
public:
    // The member names are "oz" and "ow" + characters 5 to 10 of the archive's file name
    // + ".txt". Throws EOddsFileOpenError "<member>がオープンできません" for the first
    // member the archive does not yield.
    TOddsJrdb(const std::string& archive, const std::string& folder);
    // The same over the oz and ow files already in memory.
    explicit TOddsJrdb(TJrdbOddsFiles files);

    const std::string& OzName() const { return m_ozName; }
    const std::string& OwName() const { return m_owName; }

    // Uses jrdbRaceKey only. A runner count that is not a number counts as 0, which
    // ends the read with EOddsError; odds are then cleared. A race of more than 8
    // runners without an ow record keeps its other odds.
    bool Read(TOdds& odds, const std::string& raceKey, const std::string& jrdbRaceKey) override;

private:
    std::string m_ozName;
    std::string m_owName;
    TOddsRecords m_oz;
    TOddsRecords m_ow;
};
