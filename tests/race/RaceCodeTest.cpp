#include "race/RaceCode.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

namespace {

struct TableCase {
    const char* name;
    const TCodeTable& (*table)();
    std::size_t rows;
    std::size_t keyWidth;
    friend void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }
};

class CodeTables : public ::testing::TestWithParam<TableCase> {};

} // namespace

TEST_P(CodeTables, HaveTheirRowsAndKeyWidthAndRoundTripThroughUtf8) {
    const TCodeTable& table = GetParam().table();
    EXPECT_EQ(table.Rows().size(), GetParam().rows);
    EXPECT_EQ(table.KeyWidth(), GetParam().keyWidth);
    for (const TCodeEntry& row : table.Rows()) {
        EXPECT_EQ(row.code.size(), GetParam().keyWidth);
        EXPECT_EQ(toCp932(toUtf8(row.name)), row.name);
        EXPECT_EQ(LookupCode(row.code, table).empty(), false);
    }
}

INSTANTIATE_TEST_SUITE_P(All, CodeTables,
                         ::testing::Values(TableCase{"Venue", VenueTable, 70, 2},
                                           TableCase{"Class", ClassTable, 32, 5},
                                           TableCase{"Condition", ConditionTable, 36, 2},
                                           TableCase{"AgeCondition", AgeConditionTable, 14, 1},
                                           TableCase{"Surface", SurfaceTable, 2, 1},
                                           TableCase{"Grade", GradeTable, 3, 1},
                                           TableCase{"Sex", SexTable, 3, 1},
                                           TableCase{"Allowance", AllowanceTable, 3, 1},
                                           TableCase{"Mark", MarkTable, 5, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LookupCode, FirstEqualCodeWinsAndUnknownCodesAreEmpty) {
    EXPECT_EQ(toUtf8(LookupCode("35", VenueTable())), "札幌");
    EXPECT_EQ(toUtf8(LookupCode("08", VenueTable())), "札幌");
    EXPECT_EQ(toUtf8(LookupCode("04xyz", VenueTable())), "東京"); // only the key width is read
    EXPECT_EQ(LookupCode("9", MarkTable()), "");
    EXPECT_EQ(LookupCode("47", VenueTable()), "");
    EXPECT_EQ(toUtf8(LookupCode("A", AgeConditionTable())), "ア４歳上");
    EXPECT_EQ(toUtf8(LookupCode("K", AgeConditionTable())), "サラ系");
    EXPECT_EQ(LookupCode("a", AgeConditionTable()), ""); // case-sensitive
    EXPECT_EQ(toUtf8(LookupCode("2", SexTable())), "ｾﾝ");
}

TEST(FieldToInt, AcceptsLeadingBlanksAndASignOnly) {
    EXPECT_EQ(FieldToInt("08"), 8);
    EXPECT_EQ(FieldToInt(" 4"), 4);
    EXPECT_EQ(FieldToInt("-12"), -12);
    EXPECT_EQ(FieldToInt("+7"), 7);
    EXPECT_EQ(FieldToInt("2147483647"), 2147483647);
    for (const char* bad : {"", "  ", "4 ", "1a", "--1", "2147483648", "\0\0"})
        EXPECT_THROW(FieldToInt(bad), EConvertError) << bad;
}

TEST(ClassText, ShowsUnknownClassesAsAnAmount) {
    EXPECT_EQ(toUtf8(ClassText("00001")), "新馬");
    EXPECT_EQ(toUtf8(ClassText("05000")), "500万");
    EXPECT_EQ(toUtf8(ClassText("10000")), "1000万");
    EXPECT_EQ(toUtf8(ClassText("10009")), "1000万"); // the fifth digit is never read
    EXPECT_THROW(ClassText("xx000"), EConvertError);
}
