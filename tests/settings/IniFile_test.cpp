#include "TempFolder.h"
#include "settings/IniFile.h"

#include <gtest/gtest.h>
#include <random>

using namespace mirtal;
using mirtal::test::TempFolder;

TEST(IniFile, SectionsAndKeysMatchWithoutCaseAndValuesStayAsWritten) {
    IniFile ini = IniFile::parse("[Config]\r\n  Name =  two  words \r\nA=b=c\nEmpty=\r\n");
    EXPECT_TRUE(ini.hasSection("CONFIG"));
    EXPECT_EQ(ini.readString("config", "NAME", "x"), "  two  words ");
    EXPECT_EQ(ini.readString("CONFIG", "a", "x"), "b=c");
    EXPECT_EQ(ini.readString("CONFIG", "empty", "x"), "");
    EXPECT_EQ(ini.readString("CONFIG", "missing", "x"), "x");
    EXPECT_EQ(ini.readString("Other", "Name", "x"), "x");
}

TEST(IniFile, IntegersAndBooleansFallBackOnAnythingElse) {
    IniFile ini = IniFile::parse("[S]\nA=12\nB=-5\nC=+7\nD= 42 \nE=abc\nF=12abc\nG=\n"
                                 "H=2147483648\nI=-2147483648\nJ=0\nK=2\nL=0x10\n");
    EXPECT_EQ(ini.readInteger("S", "A", 99), 12);
    EXPECT_EQ(ini.readInteger("S", "B", 99), -5);
    EXPECT_EQ(ini.readInteger("S", "C", 99), 7);
    EXPECT_EQ(ini.readInteger("S", "D", 99), 42);
    for (const char* k : {"E", "F", "G", "H", "L", "Missing"})
        EXPECT_EQ(ini.readInteger("S", k, 99), 99) << k;
    EXPECT_EQ(ini.readInteger("S", "I", 99), INT32_MIN);
    EXPECT_FALSE(ini.readBool("S", "J", true));
    EXPECT_TRUE(ini.readBool("S", "K", false));
    EXPECT_TRUE(ini.readBool("S", "E", true));
    EXPECT_FALSE(ini.readBool("S", "E", false));
}

TEST(IniFile, WritesKeepUnknownLinesInPlace) {
    IniFile ini = IniFile::parse("; made by hand\n"
                                 "[Mine]\n"
                                 "Old=1\n"
                                 "odd line\n"
                                 "\n"
                                 "[Theirs]\n"
                                 "Keep=this\n"
                                 "# note\n");
    ini.writeInteger("MINE", "old", 2);
    ini.writeString("Mine", "New", "v");
    ini.writeBool("Added", "Flag", true);
    EXPECT_EQ(ini.text(), "; made by hand\r\n"
                          "[Mine]\r\n"
                          "Old=2\r\n"
                          "New=v\r\n"
                          "odd line\r\n"
                          "\r\n"
                          "[Theirs]\r\n"
                          "Keep=this\r\n"
                          "# note\r\n"
                          "\r\n"
                          "[Added]\r\n"
                          "Flag=1\r\n");
}

TEST(IniFile, DuplicatesReadAndWriteTheFirst) {
    IniFile ini = IniFile::parse("[S]\nK=1\nk=2\n[s]\nK=3\nOnly=4\n");
    EXPECT_EQ(ini.readInteger("S", "K", 0), 1);
    EXPECT_FALSE(ini.hasKey("S", "Only"));
    ini.writeInteger("S", "K", 9);
    EXPECT_EQ(ini.text(), "[S]\r\nK=9\r\nk=2\r\n[s]\r\nK=3\r\nOnly=4\r\n");
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"S", "s"}));
}

TEST(IniFile, AnyLineEndReadsAndLineBreaksInValuesCannotSplitLines) {
    IniFile ini = IniFile::parse("[S]\rA=1\r\rB=2\n\nC=3\r\nD=4");
    EXPECT_EQ(ini.keyNames("S"), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(ini.readInteger("S", "D", 0), 4);
    ini.writeString("S", "E", "two\r\nlines");
    IniFile again = IniFile::parse(ini.text());
    EXPECT_EQ(again.readString("S", "E", ""), "two  lines");
    EXPECT_EQ(again.keyNames("S").size(), 5u);
}

TEST(IniFile, KeysBeforeAnySectionAndCommentsAreNotKeys) {
    IniFile ini = IniFile::parse("Stray=1\n[S]\n;K=1\n#J=2\n=3\n[Bad\nL=4\n");
    EXPECT_EQ(ini.keyNames("S"), (std::vector<std::string>{"L"}));
    EXPECT_FALSE(ini.hasSection(""));
    EXPECT_FALSE(ini.hasSection("Bad"));
}

TEST(IniFile, ArbitraryBytesParseAndRoundTripWrites) {
    std::mt19937 rng(12345);
    const std::string alphabet("[]=;#\r\n \tAbKkSs0\0\xFF\xE9x", 20);
    for (int round = 0; round < 300; ++round) {
        std::string junk;
        const size_t len = rng() % 400;
        for (size_t i = 0; i < len; ++i)
            junk += (rng() % 4 == 0) ? char(rng() % 256) : alphabet[rng() % alphabet.size()];
        IniFile ini = IniFile::parse(junk);
        for (const std::string& s : ini.sectionNames()) ini.keyNames(s);
        ini.writeString("S", "K", "value " + std::to_string(round));
        ini.writeInteger("s b", "k", round);
        IniFile again = IniFile::parse(ini.text());
        ASSERT_EQ(again.readString("S", "K", ""), "value " + std::to_string(round)) << junk;
        ASSERT_EQ(again.readInteger("S B", "K", -1), round) << junk;
        ASSERT_EQ(again.text(), ini.text());
    }
}

TEST(IniFile, MissingFileReadsEmptyAndUnreadableFileIsReported) {
    TempFolder dir;
    IniFile ini = IniFile::parse("[S]\nA=1\n");
    EXPECT_TRUE(ini.load(dir / "none.ini").ok);
    EXPECT_TRUE(ini.sectionNames().empty());

    std::filesystem::create_directory(dir / "folder.ini");
    Result r = ini.load(dir / "folder.ini");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("folder.ini"), std::string::npos);

    const auto big = dir / "big.ini";
    test::writeText(big, "[S]\r\nA=1\r\n");
    std::filesystem::resize_file(big, IniFile::kMaxFileBytes + 1);
    EXPECT_FALSE(ini.load(big).ok);
    EXPECT_FALSE(ini.hasSection("S"));
}

TEST(IniFile, SaveCreatesFolderAndFailedSaveKeepsOldFile) {
    TempFolder dir;
    IniFile ini = IniFile::parse("[S]\nA=1\n");
    const auto nested = dir / "a" / "b" / "x.ini";
    ASSERT_TRUE(ini.save(nested).ok);
    EXPECT_EQ(test::readText(nested), "[S]\r\nA=1\r\n");

    test::writeText(dir / "file", "not a folder");
    Result r = ini.save(dir / "file" / "x.ini");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("x.ini"), std::string::npos) << r.error;
    EXPECT_EQ(test::readText(dir / "file"), "not a folder");
}
