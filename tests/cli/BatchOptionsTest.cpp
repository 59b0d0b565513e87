#include "cli/BatchOptions.h"

#include <gtest/gtest.h>

TEST(BatchOptions, ReadsCommandsArchivesAndOptions) {
    TBatchOptions o = ParseBatchOptions({"race", "day.lzh", "7", "--time", "/t", "--sjis",
                                         "--wars-format", "0", "--ruv-format", "1", "--rx", "/rx"});
    EXPECT_EQ(o.command, "race");
    EXPECT_EQ(o.archive, "day.lzh");
    EXPECT_EQ(o.raceIndex, 7);
    EXPECT_EQ(o.timeFolder, "/t");
    EXPECT_EQ(o.rxFolder, "/rx");
    EXPECT_FALSE(o.jrdbFolder.has_value());
    EXPECT_TRUE(o.sjis);
    EXPECT_EQ(o.warsFormat, 0);
    EXPECT_EQ(o.ruvFormat, 1);

    o = ParseBatchOptions({"write", "--html", "day.lzh", "--ruv", "--out", "o", "--ini", "x.ini"});
    EXPECT_TRUE(o.html && o.ruv && !o.text && !o.wars);
    EXPECT_TRUE(o.anyFileChosen());
    EXPECT_EQ(o.outFolder, "o");
    EXPECT_EQ(o.iniFile, "x.ini");
    EXPECT_FALSE(ParseBatchOptions({"write", "day.lzh"}).anyFileChosen());
    o = ParseBatchOptions({"explain", "day.lzh", "10", "7", "--time", "/t"});
    EXPECT_EQ(o.command, "explain");
    EXPECT_EQ(o.raceIndex, 10);
    EXPECT_EQ(o.runner, 7);
    EXPECT_FALSE(ParseBatchOptions({"explain", "day.lzh", "10"}).runner.has_value());

    o = ParseBatchOptions({"ledger", "season", "--from", "010106", "--to", "010128"});
    EXPECT_EQ(o.command, "ledger");
    EXPECT_EQ(o.archive, "season");
    EXPECT_EQ(o.from, "010106");
    EXPECT_EQ(o.to, "010128");
    EXPECT_TRUE(ParseBatchOptions({"--help"}).help);
    EXPECT_TRUE(ParseBatchOptions({"list", "--version"}).version);
    EXPECT_EQ(ParseBatchOptions({"csv", "day.lzh", "--out", "o"}).command, "csv");
}

TEST(BatchOptions, RefusesWhatItCannotRead) {
    const std::vector<std::vector<std::string>> bad{
        {},
        {"copy", "day.lzh"},
        {"list"},
        {"list", "a.lzh", "b.lzh"},
        {"race", "day.lzh"},
        {"race", "day.lzh", "-1"},
        {"race", "day.lzh", "99999999999"},
        {"race", "day.lzh", "1", "2"},
        {"explain", "day.lzh"},
        {"explain", "day.lzh", "10", "0"},
        {"explain", "day.lzh", "10", "x"},
        {"explain", "day.lzh", "10", "7", "8"},
        {"write", "day.lzh", "--wars-format", "2"},
        {"write", "day.lzh", "--time"},
        {"write", "day.lzh", "--colour"},
        {"ledger"},
        {"ledger", "a", "b"},
        {"ledger", "season", "--from", "0101"},
        {"ledger", "season", "--to", "2001-01"},
    };
    for (const auto& args : bad)
        EXPECT_THROW(ParseBatchOptions(args), EBatchUsage) << ::testing::PrintToString(args);
}
