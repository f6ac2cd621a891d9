#include "../support/TempFolder.h"
#include "settings/IniFile.h"

#include <gtest/gtest.h>

using namespace mirtal;
using namespace mirtal::test;
using Names = std::vector<std::string>;

TEST(IniFile, ReadingMatchesNamesWithoutCaseAndFallsBackOnAnythingElse) {
    IniFile ini = IniFile::parse("Stray=1\n[Config]\r\n  Name =  two  words \r\nA=b=c\nEmpty=\r\n"
                                 ";K=1\n#J=2\n=3\n[Bad\nL=4\n"
                                 "[S]\rA=12\r\rB=-5\nC=+7\r\nD= 42 \nE=abc\nF=12abc\nG=\n"
                                 "H=2147483648\nI=-2147483648\nJ=0\nK=2\nL=0x10");
    EXPECT_EQ(
        (Names{ini.readString("config", "NAME", "x"), ini.readString("CONFIG", "a", "x"),
               ini.readString("CONFIG", "empty", "x"), ini.readString("CONFIG", "missing", "x"),
               ini.readString("Other", "Name", "x")}),
        (Names{"  two  words ", "b=c", "", "x", "x"}));
    // Comments, keys before any section and broken headers are no keys.
    EXPECT_EQ(ini.keyNames("Config"), (Names{"Name", "A", "Empty", "L"}));
    EXPECT_FALSE(ini.hasSection(""));
    EXPECT_FALSE(ini.hasSection("Bad"));
    std::vector<int32_t> integers;
    for (const char* key : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "L"})
        integers.push_back(ini.readInteger("S", key, 99));
    EXPECT_EQ(integers, (std::vector<int32_t>{12, -5, 7, 42, 99, 99, 99, 99, INT32_MIN, 99}));
    EXPECT_EQ((std::vector<bool>{ini.readBool("S", "J", true), ini.readBool("S", "K", false),
                                 ini.readBool("S", "E", true), ini.readBool("S", "E", false)}),
              (std::vector<bool>{false, true, true, false}));
}

TEST(IniFile, WritesKeepEveryOtherLineInPlaceAndTouchOnlyTheFirstDuplicate) {
    IniFile ini = IniFile::parse("; made by hand\n[Mine]\nOld=1\nold=5\nodd line\n\n"
                                 "[Theirs]\nKeep=this\n# note\n[mine]\nOld=3\nOnly=4\n");
    EXPECT_EQ(ini.readInteger("MINE", "old", 0), 1);
    EXPECT_FALSE(ini.hasKey("Mine", "Only"));
    ini.writeInteger("MINE", "old", 2);
    EXPECT_EQ(ini.readInteger("Mine", "OLD", 0), 2);
    ini.writeString("Mine", "New", "two\r\nlines"); // a line break cannot split the line
    ini.writeBool("Added", "Flag", true);
    EXPECT_EQ(ini.readString("Mine", "new", ""), "two  lines");
    EXPECT_EQ(ini.text(), "; made by hand\r\n[Mine]\r\nOld=2\r\nold=5\r\nNew=two  lines\r\n"
                          "odd line\r\n\r\n[Theirs]\r\nKeep=this\r\n# note\r\n[mine]\r\nOld=3\r\n"
                          "Only=4\r\n\r\n[Added]\r\nFlag=1\r\n");
    EXPECT_EQ(ini.sectionNames(), (Names{"Mine", "Theirs", "mine", "Added"}));
}

// A file too large, a save through a file in the way: named. Saving makes
// the folders.
TEST(IniFile, MissingFileReadsEmptyAndOthersAreReported) {
    TempFolder dir;
    IniFile ini = IniFile::parse("[S]\nA=1\n");
    EXPECT_TRUE(ini.load(dir / "none.ini").ok);
    EXPECT_TRUE(ini.sectionNames().empty());
    writeText(dir / "big.ini", "[S]\r\nA=1\r\n");
    std::filesystem::resize_file(dir / "big.ini", IniFile::kMaxFileBytes + 1);
    writeText(dir / "file", "not a folder");
    EXPECT_NE(ini.load(dir / "big.ini").error.find("big.ini"), std::string::npos);
    EXPECT_FALSE(ini.hasSection("S"));
    ini = IniFile::parse("[S]\nA=1\n");
    ASSERT_TRUE(ini.save(dir / "a" / "b" / "x.ini").ok);
    EXPECT_EQ(readText(dir / "a" / "b" / "x.ini"), "[S]\r\nA=1\r\n");
    EXPECT_NE(ini.save(dir / "file" / "x.ini").error.find("x.ini"), std::string::npos);
}
