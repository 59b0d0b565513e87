#include "platform/VerInf.h"
#include "support/TestFiles.h"
#include "sampleday/LzhWriter.h"

#include "platform/Cp932.h"
#include "platform/Format.h"
#include "platform/Version.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The parts of a record are kept apart, so that this test program holds no whole record.
const std::string kHeader = "RuvPeltonVersionRecord1:";
const std::string kTrailer = "RuvPeltonVersionRecordEnd";

std::string record(const std::string& payload) {
    return kHeader + Format("%05zu:", payload.size()) + payload + kTrailer;
}

std::string entry(const std::string& name, const std::string& value) {
    return name + "=" + value + std::string(1, '\0');
}

void expectInvalid(const TVerInf& v, const std::string& what) {
    EXPECT_FALSE(v.Valid()) << what;
    for (int i = 0; i < TVerInf::kValueCount; ++i)
        EXPECT_EQ(v.Value(i), "") << what << " value " << i;
}

class VerInfTest : public ::testing::Test {
protected:
    fs::path file() const { return m_folder.path() / "program"; }
    TWorkFolder m_folder;
};

} // namespace

TEST(VerInf, ReadsTheRecordCompiledIntoAProgram) {
    TVerInf v(PELTON_VERINF_FIXTURE);
    ASSERT_TRUE(v.Valid());
    const std::string expected[TVerInf::kValueCount] = {
        "ZAQ",
        sjis("RUV PELTON 競馬予想"),
        PELTON_PROJECT_VERSION,
        "verinf_fixture",
        "Copyright (C) \"ZAQ\" \\ 2001",
        "",
        "verinf_fixture",
        "RUV PELTON",
        ProductVersion(),
        "a=b; c",
    };
    for (int i = 0; i < TVerInf::kValueCount; ++i)
        EXPECT_EQ(v.Value(i), expected[i]) << TVerInf::ValueNames[i];
    EXPECT_EQ(v.Value(TVerInf::kProductVersion), PELTON_PROJECT_VERSION);
    EXPECT_EQ(v.Value(-1), "");
    EXPECT_EQ(v.Value(TVerInf::kValueCount), "");
}

TEST(VerInf, TheReadersOwnMarkerIsNoRecord) {
    // this test program links the reader, so its bytes hold the marker, but no record
    std::string self = ReadBytes("/proc/self/exe");
    ASSERT_NE(self.find(kHeader), std::string::npos);
    expectInvalid(TVerInf("/proc/self/exe"), "test program");
}

TEST_F(VerInfTest, FilesWithoutASoundRecordGiveAnInvalidReader) {
    const std::string sound = record(entry("ProductVersion", "9.9"));
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"plain text", "no record here"},
        {"marker alone", kHeader},
        {"length not digits", kHeader + "00a12:" + entry("Comments", "x") + kTrailer},
        {"length too long", kHeader + "00099:" + entry("Comments", "x") + kTrailer},
        {"length too short", kHeader + "00005:" + entry("Comments", "x") + kTrailer},
        {"no closing marker", kHeader + "00011:" + entry("Comments", "x") + "Ruv"},
        {"unknown name", record(entry("Version", "1"))},
        {"name twice", record(entry("Comments", "1") + entry("Comments", "2"))},
        {"entry without '='", record("Comments" + std::string(1, '\0'))},
        {"entry without its NUL", record("Comments=x")},
        {"value not UTF-8", record(entry("Comments", "\xFF"))},
        {"value without a CP932 form", record(entry("Comments", "\U0001F600"))},
    };
    for (const Case& c : cases) {
        WriteBinaryFile(file(), "prefix" + c.bytes + "suffix");
        expectInvalid(TVerInf(file()), c.what);
    }
    for (std::size_t cut = 0; cut < sound.size(); ++cut) {
        WriteBinaryFile(file(), sound.substr(0, cut));
        expectInvalid(TVerInf(file()), "cut at " + std::to_string(cut));
    }

    expectInvalid(TVerInf(m_folder.path() / "missing"), "missing file");
    expectInvalid(TVerInf(m_folder.path()), "folder");
    expectInvalid(TVerInf("/dev/null"), "device");
}

TEST_F(VerInfTest, FindsASoundRecordAnywhereInTheFile) {
    const std::string sound = record(entry("ProductVersion", "9.9") + entry("Comments", "日本語") +
                                     entry("CompanyName", ""));
    const std::size_t chunk = 1 << 20;
    // around the reader's 1 MiB read size the marker or the record is split between reads
    for (std::size_t offset : {std::size_t{0}, chunk - kHeader.size() - 5, chunk - 10, chunk - 1,
                               chunk - 100000, chunk, 3 * chunk + 7}) {
        WriteBinaryFile(file(), std::string(offset, 'R') + sound + "tail");
        TVerInf v(file());
        EXPECT_TRUE(v.Valid()) << offset;
        EXPECT_EQ(v.Value(TVerInf::kProductVersion), "9.9") << offset;
        EXPECT_EQ(v.Value(TVerInf::kComments), sjis("日本語")) << offset;
        EXPECT_EQ(v.Value(TVerInf::kCompanyName), "") << offset;
    }

    // a broken record before a sound one is passed over
    WriteBinaryFile(file(),
                    kHeader + "99999:" + kHeader + "x" + record(entry("Comments", "x")) + sound);
    EXPECT_EQ(TVerInf(file()).Value(TVerInf::kComments), "x");

    WriteBinaryFile(file(), record(""));
    TVerInf empty(file());
    EXPECT_TRUE(empty.Valid());
    EXPECT_EQ(empty.Value(TVerInf::kProductVersion), "");
}
