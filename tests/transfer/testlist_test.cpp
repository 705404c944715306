#include "portmap.h"
#include "sandbox.h"
#include "settings.h"
#include "testlist.h"
#include "wire.h"

#include <gtest/gtest.h>

TEST(TestListLines, ShowsOnlyDigitLedLinesNumberedInAnswerOrder)
{
    const QStringList answer = {QStringLiteral("VT200 LIST"), QString(),
                                QStringLiteral("001 102 004 017 0025 03 05 04 12 10 35\x01"),
                                QStringLiteral(" 002 102 004 017 0025 03 05 04 12 10 50"),
                                QStringLiteral("003 102 004 017  03 05 04 12 11 05")};
    EXPECT_EQ(TestListLines(answer),
              (QStringList{QStringLiteral("01 102-004-017-0025-03 05年04月12日 10:35"),
                           QStringLiteral("02 102-004-017--03 05年04月12日 11:05")}));
}

// Two digits hold 99 tests; beyond that every number grows to the same width, so the sorted
// list keeps the instrument's order and each line still addresses its own test.
TEST(TestListLines, MoreThan99TestsKeepOrderAndAddressTheirOwnTest)
{
    for (const int count : {99, 120}) {
        QStringList answer;
        for (int i = 0; i < count; ++i)
            answer.append(QStringLiteral("%1 1 2 3 4 5 05 04 12 10 35").arg(i));
        QStringList shown = TestListLines(answer);
        QStringList sorted = shown;
        sorted.sort();
        EXPECT_EQ(sorted, shown) << count;
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(TestNumberOfLine(shown.at(i)), i + 1) << shown.at(i).toStdString();
        EXPECT_TRUE(shown.first().startsWith(count > 99 ? u"001 " : u"01 "));
    }
}

TEST(TransferFileName, NamesFromDateAndTimeAndRefusesWhatCannotBeAName)
{
    const struct
    {
        QStringList lines;
        QString name;
    } cases[] = {
        {{QStringLiteral("VT200 Ver1.20"), QStringLiteral("$T("),
          QStringLiteral("102 004 017 0025 03 05 04 12 10 35"), QStringLiteral("999 0000 J04")},
         QStringLiteral("05年04月12日10：35.ktd")},
        {{QStringLiteral("VT200 Ver1.20")}, QString()},
        {{QStringLiteral("102 004 017 0025 03 05 04 12 10")}, QString()},
        {{QStringLiteral("102 004 017 0025 03 ../.. 04 12 10 35")}, QString()},
        {{QStringLiteral("102 004 017 0025 03 05/x 04 12 10 35")}, QString()},
        // Only two plain digits make a field of the name: a NUL once cut the name short, so an
        // existing file was replaced without the question.
        {{QStringLiteral("102 004 017 0025 03 05 04 12 10 30.ktd") + QChar(0) + u'x'}, QString()},
        {{QStringLiteral("102 004 017 0025 03 05 04 12 10 3\x01")}, QString()},
        {{QStringLiteral("102 004 017 0025 03 05 .. 12 10 35")}, QString()},
        {{QStringLiteral("102 004 017 0025 03 05 04 1a 10 35")}, QString()},
        {{QStringLiteral("102 004 017 0025 03 2005 04 12 10 35")}, QString()},
        {{QStringLiteral("102 004 017 0025 03 5 04 12 10 35")}, QString()},
        {{QStringLiteral("102 004 017 0025 03 ０５ 04 12 10 35")}, QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TransferFileName(c.lines), c.name) << c.lines.join('|').toStdString();
}

TEST(CommDevicePath, TheSettingWinsAndNumbersOutsideTheNineHaveNoDevice)
{
    TestSandbox box;
    box.settings().setValue("TermMode/Comm3", "/dev/ttyUSB7");
    TSetting setting = LoadSettings(box.settings(), box.path());
    EXPECT_EQ(CommDevicePath(setting, 3), QStringLiteral("/dev/ttyUSB7"));
    EXPECT_EQ(CommDevicePath(setting, 0), QString());
    EXPECT_EQ(CommDevicePath(setting, 10), QString());
    SaveSettings(setting, box.settings());
    EXPECT_EQ(box.settings().value("TermMode/Comm1").toString(), QString());
    EXPECT_EQ(box.settings().value("TermMode/Comm3").toString(), QStringLiteral("/dev/ttyUSB7"));
}

TEST(AnswerReader, TellsCompleteRefusedDamagedAndUnfinishedAnswers)
{
    const QList<QByteArray> lines = {"$T(", "102 004 017 0025 03 05 04 12 10 35", ""};
    const QByteArray whole = Wire::answerFrame(lines);
    QByteArray badCheck = whole;
    badCheck[6] = 'X';
    QByteArray badCount = whole;
    badCount.replace("E 3 ", "E 2 ");
    using S = Wire::TAnswerReader;
    const struct
    {
        QByteArray bytes;
        S::State state;
    } cases[] = {
        {whole, S::Complete},
        {Wire::refusalFrame("no such test"), S::Refused},
        {badCheck, S::Malformed},
        {badCount, S::Malformed},
        {"A\r\nX stray\r\n", S::Malformed},
        {"hello\r\n", S::Malformed},
        {whole.left(whole.size() - 3), S::Receiving},
        {"A\r\nD " + QByteArray(Wire::kMaxLineLength + 1, 'x'), S::Malformed},
    };
    for (const auto &c : cases) {
        S reader;
        // Byte by byte: the answer may arrive in any pieces.
        for (const char byte : c.bytes)
            reader.feed(QByteArray(1, byte));
        EXPECT_EQ(reader.state(), c.state) << c.bytes.left(40).toStdString();
    }
    S reader;
    reader.feed(whole);
    EXPECT_EQ(reader.lines(), lines);
}

// An answer that does not end (or is larger than any test) is malformed once it passes the limit;
// what it holds never grows beyond it.
TEST(AnswerReader, AnAnswerBeyondTheLimitIsMalformedAndHoldsNoMore)
{
    const QByteArray line = "D " + QByteArray(98, '1') + "\r\n";
    Wire::TAnswerReader reader;
    reader.feed("A\r\n");
    qsizetype fed = 0;
    while (reader.state() == Wire::TAnswerReader::Receiving && fed < 2 * Wire::kMaxAnswerBytes) {
        reader.feed(line.repeated(1000));
        fed += 1000 * line.size();
    }
    EXPECT_EQ(reader.state(), Wire::TAnswerReader::Malformed);
    EXPECT_LE(reader.data().size(), Wire::kMaxAnswerBytes);
    EXPECT_GT(reader.data().size(), Wire::kMaxAnswerBytes - 1000 * line.size());
}
