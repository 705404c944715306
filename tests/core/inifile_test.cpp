#include "inifile.h"

#include "codec.h"
#include "sandbox.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString S(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Lines given as one text, separated by "|", written as a CP932 file with CR LF.
TIniFile iniOf(const TestSandbox &sandbox, const char *lines)
{
    return TIniFile(sandbox.writeCp932Lines(QStringLiteral("t.ini"), S(lines).split(u'|')));
}

TEST(IniFile, SectionsAndKeysKeepFileOrderAndFirstOccurrenceWins)
{
    TestSandbox sandbox;
    const TIniFile ini = iniOf(sandbox, "[Zeta]|b=1|a=2|B=3|[alpha]|x=first|[Mid]|"
                                        "[ALPHA]|x=second|y=only in the repeat|[zeta]|c=4");
    EXPECT_EQ(ini.ReadSections(), S("Zeta|alpha|Mid").split(u'|'));
    EXPECT_EQ(ini.ReadSection(S("Zeta")), S("b|a").split(u'|'));
    EXPECT_EQ(ini.ReadString(S("Zeta"), S("b"), {}), S("1"));
    // The first section of a name is the one read; a repeat adds nothing.
    EXPECT_EQ(ini.ReadString(S("alpha"), S("x"), {}), S("first"));
    EXPECT_FALSE(ini.ValueExists(S("alpha"), S("y")));
    EXPECT_FALSE(ini.ValueExists(S("Zeta"), S("c")));
    EXPECT_TRUE(ini.SectionExists(S("Mid")));
    EXPECT_TRUE(ini.ReadSection(S("Mid")).isEmpty());
}

TEST(IniFile, NamesCompareCaseInsensitively)
{
    TestSandbox sandbox;
    const TIniFile ini = iniOf(sandbox, "[Default]|Obs=x|[換算N値]|Aa=1");
    EXPECT_EQ(ini.ReadString(S("DEFAULT"), S("obs"), {}), S("x"));
    EXPECT_EQ(ini.ReadString(S("換算n値"), S("aA"), {}), S("1"));
}

TEST(IniFile, BlanksAndTabsAreTrimmedOtherSpaceKept)
{
    TestSandbox sandbox;
    const TIniFile ini = iniOf(sandbox, "  [ J01 ]\t| \tobs \t= \tｼﾞｬﾘ \t|wide=　全角　|"
                                        "quoted=\" a b \"|half=\"open|inner=a=b");
    EXPECT_EQ(ini.ReadSections(), QStringList{S("J01")});
    EXPECT_EQ(ini.ReadSection(S("J01")).first(), S("obs"));
    // key, value
    const char *const cases[][2] = {{"obs", "ｼﾞｬﾘ"},
                                    {"wide", "　全角　"},
                                    {"quoted", " a b "},
                                    {"half", "\"open"},
                                    {"inner", "a=b"}};
    for (const auto &c : cases)
        EXPECT_EQ(ini.ReadString(S("J01"), S(c[0]), {}), S(c[1])) << c[0];
}

TEST(IniFile, LinesThatAreNotEntriesAreIgnored)
{
    TestSandbox sandbox;
    const TIniFile ini = iniOf(sandbox, "orphan=before any section|; comment=not a key|[S]|"
                                        "no equals sign||  ;k=commented|=no name|[broken header|"
                                        "k=v|[]|lost=in unnamed section");
    EXPECT_EQ(ini.ReadSections(), QStringList{S("S")});
    EXPECT_EQ(ini.ReadSection(S("S")), QStringList{S("k")});
    EXPECT_EQ(ini.ReadString(S("S"), S("k"), {}), S("v"));
}

TEST(IniFile, LfOnlyLineEndsAndCp932Bytes)
{
    const TIniFile ini =
        TIniFile::FromBytes(Cp932::encode(S("[D00]\nobs=打撃00回\n[P05]\r\nobs=ｻﾞﾗｻﾞﾗ")));
    EXPECT_EQ(ini.ReadString(S("D00"), S("obs"), {}), S("打撃00回"));
    EXPECT_EQ(ini.ReadString(S("P05"), S("obs"), {}), S("ｻﾞﾗｻﾞﾗ"));
}

TEST(IniFile, ReadStringFallsBackOnlyWhenMissing)
{
    const TIniFile ini = TIniFile::FromBytes("[S]\r\nempty=\r\n");
    EXPECT_EQ(ini.ReadString(S("S"), S("empty"), S("d")), QString());
    EXPECT_EQ(ini.ReadString(S("S"), S("none"), S("d")), S("d"));
    EXPECT_EQ(ini.ReadString(S("T"), S("empty"), S("d")), S("d"));
}

TEST(IniFile, ReadIntegerAcceptsDecimalIntegersOnly)
{
    const TIniFile ini = TIniFile::FromBytes("[N]\r\nplain=12\r\nnegative= -3 \r\nword=abc\r\n"
                                             "empty=\r\ntrailing=12abc\r\nfraction=1.5\r\n"
                                             "hex=0x10\r\n");
    const std::pair<const char *, int> cases[] = {{"plain", 12}, {"negative", -3}, {"word", 7},
                                                  {"empty", 7},  {"trailing", 7},  {"fraction", 7},
                                                  {"hex", 7},    {"missing", 7}};
    for (const auto &[key, expected] : cases)
        EXPECT_EQ(ini.ReadInteger(S("N"), S(key), 7), expected) << key;
}

TEST(IniFile, MissingFileHasNoSections)
{
    TestSandbox sandbox;
    const TIniFile ini(sandbox.filePath(QStringLiteral("absent.ini")));
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    EXPECT_EQ(ini.ReadString(S("S"), S("k"), S("d")), S("d"));
    EXPECT_EQ(ini.ReadInteger(S("S"), S("k"), 5), 5);
}

} // namespace
