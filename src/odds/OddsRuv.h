// TOddsRuv: the odds of the RUV odds archive (ruv_ods.kd2).
#pragma once

#include "odds/OddsFile.h"

#include <memory>

// The odds of the RUV data service: ruv_ods.kd2 out of the day's odds archive
// ("j" + day code + ".lzh"). Win, bracket quinella and quinella odds.
class TOddsRuv : public TOddsFile {
public:
    // Throws EOddsFileOpenError "ruv_ods.kd2がオープンできません" when the archive does
    // not yield the file.
    TOddsRuv(const std::string& archive, const std::string& folder);
    // The same over the bytes of ruv_ods.kd2 already in memory.
    explicit TOddsRuv(std::string image);
    // The same read from the archive into memory, without a folder.
    static std::unique_ptr<TOddsRuv> InMemory(const std::string& archive);

    // Uses raceKey only. Throws the conversion error when the record's runner count is
    // not a number, EOddsError when it is outside 1 to 18; odds are then cleared.
    bool Read(TOdds& odds, const std::string& raceKey, const std::string& jrdbRaceKey) override;

private:
    TOddsRecords m_records;
};
