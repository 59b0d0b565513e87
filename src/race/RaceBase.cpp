// TRaceBase: the race data of one day as every other part of the program reads it.
#include "race/RaceBase.h"

#include "platform/Cp932.h"
#include "platform/Folder.h"

TRaceBase::TRaceBase(const std::string& folder) : m_folder(WithSeparator(folder)) {}

const std::array<std::string, 11>& PastRunStatusText() {
    static const std::array<std::string, 11> labels{
        "",
        toCp932("－"),
        toCp932("地方"),
        toCp932("海外"),
        toCp932("落馬"),
        toCp932("中止"),
        toCp932("取消"),
        toCp932("除外"),
        toCp932("障害"),
        toCp932("失格"),
        "XXX",
    };
    return labels;
}
