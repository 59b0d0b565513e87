// The code tables of the race data (venues, classes, conditions, marks ...) and field readers.
#include "race/RaceCode.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <charconv>
#include <limits>

TCodeTable::TCodeTable(std::initializer_list<std::pair<const char*, const char*>> rows) {
    m_rows.reserve(rows.size());
    for (const auto& [code, name] : rows)
        m_rows.push_back({code, toCp932(name)});
}

const TCodeTable& VenueTable() {
    static const TCodeTable table{
        {"00", "京都"}, {"01", "阪神"}, {"02", "中京"}, {"03", "小倉"},   {"04", "東京"},
        {"05", "中山"}, {"06", "福島"}, {"07", "新潟"}, {"08", "札幌"},   {"09", "函館"},
        {"10", "大井"}, {"11", "川崎"}, {"12", "船橋"}, {"13", "浦和"},   {"14", "岩見"},
        {"15", "旭川"}, {"16", "帯広"}, {"17", "野田"}, {"18", "北見"},   {"19", "笠松"},
        {"20", "金沢"}, {"21", "荒尾"}, {"22", "宇都"}, {"23", "佐賀"},   {"24", "中津"},
        {"25", "高崎"}, {"26", "高知"}, {"27", "足利"}, {"28", "上山"},   {"29", "水沢"},
        {"30", "三条"}, {"31", "紀井"}, {"32", "益田"}, {"33", "盛岡"},   {"34", "名古"},
        {"35", "札幌"}, {"36", "函館"}, {"37", "園田"}, {"38", "福島"},   {"39", "姫路"},
        {"40", "中京"}, {"41", "新潟"}, {"42", "門別"}, {"43", "弥富"},   {"44", "小林"},
        {"45", "西脇"}, {"46", "境町"}, {"50", "栗東"}, {"51", "美浦南"}, {"52", "美浦北"},
        {"53", "白井"}, {"54", "道営"}, {"55", "岩手"}, {"60", "香港"},   {"61", "米国"},
        {"62", "英国"}, {"63", "仏国"}, {"64", "愛国"}, {"65", "ＵＡＥ"}, {"66", "加国"},
        {"67", "伊国"}, {"68", "独国"}, {"69", "豪州"}, {"70", "西独"},   {"71", "新国"},
        {"72", "チリ"}, {"73", "亜国"}, {"90", "兵庫"}, {"91", "栃木"},   {"92", "北海"},
    };
    return table;
}

const TCodeTable& ClassTable() {
    static const TCodeTable table{
        {"00000", "未受"},     {"00001", "新馬"},
        {"00002", "未出走"},   {"00003", "未勝利"},
        {"00004", "オープン"}, {"00005", "オープン，牝馬"},
        {"00006", "指定馬"},   {"00007", "勝入オープン"},
        {"00008", "牝馬"},     {"00009", "オーブン，牝馬，アラブ混合"},
        {"00010", "A"},        {"00011", "A1"},
        {"00012", "A2"},       {"00013", "A3"},
        {"00014", "A4"},       {"00020", "A"},
        {"00021", "B1"},       {"00022", "B2"},
        {"00023", "B3"},       {"00024", "B4"},
        {"00030", "C"},        {"00031", "C1"},
        {"00032", "C2"},       {"00033", "C3"},
        {"00034", "C4"},       {"00040", "D"},
        {"00041", "D1"},       {"00042", "D2"},
        {"00043", "D3"},       {"00044", "D4"},
        {"00093", "調教試験"}, {"00094", "能力試験"},
    };
    return table;
}

const TCodeTable& ConditionTable() {
    static const TCodeTable table{
        {"00", "勝入"},
        {"01", "九州産馬"},
        {"02", "内国"},
        {"03", "牝"},
        {"04", "○混"},
        {"05", "○父"},
        {"06", "○抽"},
        {"07", "○市○抽"},
        {"08", "○混勝入"},
        {"09", "□抽"},
        {"10", "○混牝"},
        {"11", "○市"},
        {"12", "○招"},
        {"13", "○混○指"},
        {"14", "○抽勝入"},
        {"15", "○抽関西配布馬"},
        {"16", "○抽関東配布馬"},
        {"17", "□抽関西配布馬"},
        {"18", "□抽関東配布馬"},
        {"19", "○市○抽関西配布馬"},
        {"20", "○市○抽関東配布馬"},
        {"21", "○指"},
        {"22", "芦毛"},
        {"23", "栗毛"},
        {"24", "牡"},
        {"25", "交流"},
        {"26", "千葉産"},
        {"27", "○混牡せん馬"},
        {"28", "牡せん馬"},
        {"29", "国際"},
        {"30", "○指定"},
        {"31", "○特指"},
        {"32", "□指定"},
        {"33", "牡・牝"},
        {"34", "ＪＲＡ認定"},
        {"35", "牝馬○国際"},
    };
    return table;
}

const TCodeTable& AgeConditionTable() {
    static const TCodeTable table{
        {"0", "障害"},         {"1", "２歳"},         {"2", "３歳"},     {"3", "３歳以上"},
        {"4", "４歳以上"},     {"5", "ア２歳"},       {"6", "ア３歳"},   {"7", "ア３歳上"},
        {"8", "障害３歳以上"}, {"9", "障害４歳以上"}, {"A", "ア４歳上"}, {"B", "４歳"},
        {"C", "ア４歳"},       {"K", "サラ系"},
    };
    return table;
}

const TCodeTable& SurfaceTable() {
    static const TCodeTable table{{"0", "ダート"}, {"1", "芝"}};
    return table;
}

const TCodeTable& GradeTable() {
    static const TCodeTable table{{"0", "G1"}, {"1", "G2"}, {"2", "G3"}};
    return table;
}

const TCodeTable& SexTable() {
    static const TCodeTable table{{"0", "牡"}, {"1", "牝"}, {"2", "ｾﾝ"}};
    return table;
}

const TCodeTable& AllowanceTable() {
    static const TCodeTable table{{"1", "☆"}, {"2", "△"}, {"3", "▲"}};
    return table;
}

const TCodeTable& MarkTable() {
    static const TCodeTable table{{"0", "◎"}, {"1", "○"}, {"2", "▲"}, {"3", "△"}, {"4", "×"}};
    return table;
}

std::string LookupCode(std::string_view field, const TCodeTable& table) {
    std::string_view key = field.substr(0, table.KeyWidth());
    for (const TCodeEntry& row : table.Rows()) {
        if (row.code == key)
            return row.name;
    }
    return {};
}

std::optional<int> FieldToIntOrNothing(std::string_view field) {
    std::string_view digits = field;
    while (!digits.empty() && digits.front() == ' ')
        digits.remove_prefix(1);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    long long value = 0;
    bool valid = !digits.empty();
    for (char c : digits) {
        if (c < '0' || c > '9' || value > std::numeric_limits<int>::max()) {
            valid = false;
            break;
        }
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (!valid || value > std::numeric_limits<int>::max() ||
        value < std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(value);
}

int FieldToInt(std::string_view field) {
    if (std::optional<int> value = FieldToIntOrNothing(field))
        return *value;
    throw EConvertError("'" + VisibleText(field) + "' is not a valid integer value");
}

std::string FieldToText(std::string_view field) {
    return std::string(field);
}

std::string ClassText(std::string_view field) {
    std::string name = LookupCode(field, ClassTable());
    if (!name.empty())
        return name;
    static const std::string man = toCp932("万");
    return std::to_string(FieldToInt(field.substr(0, 4))) + man;
}
