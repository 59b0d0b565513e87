#include "support/OutputDays.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kGolden = fs::path(PELTON_TEST_DATA) / "golden";

// The first line (1-based) where two files differ, for the failure message.
std::string firstDifference(const std::string& actual, const std::string& expected) {
    const std::vector<std::string> a = SplitLines(actual);
    const std::vector<std::string> e = SplitLines(expected);
    for (std::size_t i = 0; i < std::max(a.size(), e.size()); ++i) {
        const std::string al = i < a.size() ? a[i] : "<none>";
        const std::string el = i < e.size() ? e[i] : "<none>";
        if (al != el)
            return "line " + std::to_string(i + 1) + "\n  written: " + toUtf8Lenient(al) +
                   "\n  golden:  " + toUtf8Lenient(el);
    }
    return "no line differs";
}

} // namespace

struct GoldenCase {
    int style;
    bool commaLocale; // run under a locale that writes "1,5"
};

class GoldenFilesTest : public ::testing::TestWithParam<GoldenCase> {};

// The sample day written by the batch command in one style must give the committed
// files byte for byte (scripts/update-golden.sh rewrites them after a deliberate change),
// also where the user's locale writes decimal numbers with a comma.
TEST_P(GoldenFilesTest, TheSampleDayGivesTheGoldenFiles) {
    const int style = GetParam().style;
    std::optional<CommaDecimalLocale> locale;
    if (GetParam().commaLocale) {
        locale.emplace();
        if (!locale->active())
            GTEST_SKIP() << locale->reason();
    }
    TWorkFolder folder;
    const fs::path archive = WriteDemoDay(folder.path() / "day");
    const fs::path out = folder.path() / "out";
    fs::create_directories(out);

    TSettings settings;
    settings.Folder.Time = (folder.path() / "day" / "time" / "").string();
    settings.Folder.OutTxt = (out / "").string();
    settings.File.TextOut = settings.File.HtmlOut = settings.File.WarsOut = settings.File.RuvOut =
        1;
    settings.File.WarsFormat = settings.File.RuvFormat = static_cast<TFlag>(style);
    TDaySession session(settings);
    session.FocusCreate();
    session.OpenDay(archive.string());
    session.RunOutput(TOutputCommand::All, {});

    const fs::path dayFiles = kGolden / ("format" + std::to_string(style));
    std::vector<std::string> expected = FolderEntries(kGolden / "reports");
    for (const std::string& name : FolderEntries(dayFiles))
        expected.push_back(name);
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(FolderEntries(out), expected);

    for (const std::string& name : expected) {
        SCOPED_TRACE(name);
        const fs::path golden = name[0] == 's' ? kGolden / "reports" / name : dayFiles / name;
        const std::string written = ReadBytes(out / name);
        EXPECT_TRUE(written == ReadBytes(golden)) << firstDifference(written, ReadBytes(golden));
        ASSERT_GE(written.size(), 2u);
        EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
        int number = 0;
        for (const std::string& line : SplitLines(written)) {
            ++number;
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "line " << number;
            EXPECT_NO_THROW(toUtf8(line))
                << "line " << number << " is not CP932: " << toUtf8Lenient(line);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, GoldenFilesTest,
                         ::testing::Values(GoldenCase{0, false}, GoldenCase{1, false},
                                           GoldenCase{1, true}),
                         [](const auto& info) {
                             return "Format" + std::to_string(info.param.style) +
                                    (info.param.commaLocale ? "UnderACommaLocale" : "");
                         });
