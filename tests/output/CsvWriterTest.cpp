#include "output/CsvWriter.h"

#include <gtest/gtest.h>

// A text is quoted where it must be and never read as a formula; a number is written as
// the program formed it.
TEST(CsvWriterTest, TextsAreQuotedAndDisarmedNumbersAreNot) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"東京", "東京"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"one\r\ntwo", "\"one\r\ntwo\""},
        {"=1+2", "'=1+2"},
        {"+D115", "'+D115"},
        {"-5", "'-5"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"=a,b", "\"'=a,b\""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TCsvRow().Text(c.text).Number(-5).Number("-1.5").Line(),
                  std::string(c.field) + ",-5,-1.5\r\n");
    }
    EXPECT_EQ(CsvStart({"date", "venue"}), "\xEF\xBB\xBF"
                                           "date,venue\r\n");
}
