#include "errors.h"
#include "printgeometry.h"
#include "printout.h"
#include "printsamples.h"
#include "recordingdevice.h"
#include "sandbox.h"
#include "tableprint.h"

#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// A4 at 600 dots per inch, as the PDF output uses it.
constexpr int kPageWidth = 4960;
constexpr int kPageHeight = 7016;

struct Recorded
{
    Recorded() : device(kPageWidth, kPageHeight), page(PageGeometry(kPageWidth, kPageHeight)) {}
    TRecordingDevice device;
    TPageGeometry page;
    TPrintState state;
};

// The one recorded text equal to `text`; fails the test when there is not exactly one.
TRecordedText Only(const TRecordingDevice &device, const QString &text)
{
    const QList<TRecordedText> found = device.textsNamed(text);
    EXPECT_EQ(found.size(), 1) << text.toStdString();
    return found.isEmpty() ? TRecordedText{} : found.first();
}

TEST(TablePrintHeader, WritesTheTestInformation)
{
    struct Case
    {
        int Year;
        QString DateLine;
    };
    const Case cases[] = {{91, QStringLiteral("1991年 5月17日　09:05～09:48")},
                          {5, QStringLiteral("2005年 5月17日　09:05～09:48")},
                          {90, QStringLiteral("2090年 5月17日　09:05～09:48")}};
    for (const Case &c : cases) {
        Recorded r;
        TTestInfo info;
        info.Code1 = 12;
        info.Code2 = 345;
        info.Code3 = 6;
        info.Code4 = 2024;
        info.PointNo = 3;
        info.Year = c.Year;
        info.Month = 5;
        info.Day = 17;
        info.StartHour = 9;
        info.StartMin = 5;
        info.EndHour = 9;
        info.EndMin = 48;
        info.FinalDepth = 1025;
        {
            QPainter painter(&r.device);
            TTablePrint(painter, r.state).PrintHeader(r.page.TableHeader, info);
        }
        Only(r.device, c.DateLine);
        Only(r.device, QStringLiteral("試験コード 012-345-006-2024"));
        Only(r.device, QStringLiteral("最終貫入深さ  10.25ｍ"));
        Only(r.device, QStringLiteral("測点番号     3"));
    }
}

TEST(TablePrintHeader, TitleAndPageNumberSitInTheTitleBand)
{
    Recorded r;
    r.state.DataKind = 1;
    r.state.PrintCaption = QStringLiteral("  [標準データ]");
    r.state.PageNumber = 3;
    const TBlock block = r.page.TableHeader;
    {
        QPainter painter(&r.device);
        TTablePrint(painter, r.state).PrintHeader(block, TTestInfo{});
    }
    const double bandMiddle = block.Top + block.Height / 6.0;
    const QRectF title = r.device.boxOf(
        Only(r.device, QStringLiteral("バントレル　サウンディング試験結果   [標準データ]")));
    EXPECT_NEAR(title.center().x(), block.Left + block.Width / 2, 1.5);
    EXPECT_NEAR(title.center().y(), bandMiddle, 1.5);
    const QRectF page = r.device.boxOf(Only(r.device, QStringLiteral("P 3")));
    EXPECT_NEAR(page.right(), block.Right() - 15, 1.0);
    EXPECT_LT(title.right(), page.left());
    // Texts stay inside the block.
    for (const TRecordedText &text : r.device.Texts) {
        const QRectF box = r.device.boxOf(text);
        EXPECT_GE(box.left(), block.Left) << text.Text.toStdString();
        EXPECT_LE(box.right(), block.Right()) << text.Text.toStdString();
    }
}

TEST(TablePrintHeader, ModeTextTakesTheLastModeParameter)
{
    struct Case
    {
        QList<TTestParam> Params;
        QString Mode;
    };
    const Case cases[] = {
        {{{QStringLiteral("P00"), 3}, {QStringLiteral("0000"), 12}}, QStringLiteral("MODE 12")},
        {{{QStringLiteral("000"), 7}, {QStringLiteral("P01"), 9}}, QStringLiteral("MODE 07")},
        {{{QStringLiteral("P01"), 9}, {QStringLiteral("p00"), 4}}, QString()},
        {{}, QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ModeText(c.Params), c.Mode);
}

TEST(TablePrintHeader, ModeLineStandsJustAboveTheBlocksLeftCorner)
{
    Recorded r;
    r.state.TestParams = {{QStringLiteral("P00"), 3}, {QStringLiteral("0000"), 12}};
    const TBlock block = r.page.TableHeader;
    {
        QPainter painter(&r.device);
        TTablePrint(painter, r.state).PrintHeader(block, TTestInfo{});
    }
    const QRectF mode = r.device.boxOf(Only(r.device, QStringLiteral("MODE 12")));
    EXPECT_NEAR(mode.left(), block.Left, 0.5);
    EXPECT_NEAR(mode.bottom(), block.Top - 15, 1.0);

    Recorded without;
    {
        QPainter painter(&without.device);
        TTablePrint(painter, without.state).PrintHeader(block, TTestInfo{});
    }
    for (const TRecordedText &text : without.device.Texts)
        EXPECT_FALSE(text.Text.startsWith(u"MODE"));
}

TEST(TablePrintHeader, PictureStandsAboveTheRightEndOnlyWhenItWasRead)
{
    TestSandbox sandbox;
    Recorded r;
    r.state.Picture = LoadHeaderPicture(shippedDataDir());
    ASSERT_FALSE(r.state.Picture.isNull()) << "the shipped header picture must be readable";
    const TBlock block = r.page.TableHeader;
    {
        QPainter painter(&r.device);
        TTablePrint(painter, r.state).PrintHeader(block, TTestInfo{});
    }
    ASSERT_EQ(r.device.Images.size(), 1);
    const double u = block.Height / 12.0;
    const QRectF picture = r.device.Images.first();
    EXPECT_NEAR(picture.left(), block.Left + 0.85 * block.Width + u, 0.51);
    EXPECT_NEAR(picture.right(), block.Left + 0.85 * block.Width + 11 * u, 0.51);
    EXPECT_NEAR(picture.top(), block.Top - 4.8 * u, 0.51);
    EXPECT_NEAR(picture.bottom(), block.Top + 0.2 * u, 0.51);
    EXPECT_LE(picture.right(), block.Right());
    EXPECT_GE(picture.top(), 0);

    EXPECT_TRUE(LoadHeaderPicture(sandbox.path()).isNull());
    Recorded missing;
    {
        QPainter painter(&missing.device);
        TTablePrint(painter, missing.state).PrintHeader(block, TTestInfo{});
    }
    EXPECT_TRUE(missing.device.Images.isEmpty());
}

TEST(TablePrintRows, ColumnTakesRowNumRowsAndReportsTheNext)
{
    struct Case
    {
        int RowNum;
        int Count;
        int First;
        int Next;
        int Printed;
    };
    const Case cases[] = {
        {40, 81, 1, 41, 40}, {40, 81, 41, 81, 40}, {40, 81, 81, 0, 1},
        {40, 80, 41, 0, 40}, {44, 100, 89, 0, 12}, {40, 0, 1, 0, 0},
    };
    for (const Case &c : cases) {
        Recorded r;
        SetTableLines(r.state, c.RowNum);
        const Tkannyu log = QuarterMetreLog(c.Count);
        int next = -1;
        {
            QPainter painter(&r.device);
            next = TTablePrint(painter, r.state).PrintRows(log, r.page.LeftColumn, c.First);
        }
        EXPECT_EQ(next, c.Next) << c.RowNum << " " << c.Count << " " << c.First;
        // Each printed line writes its soil type once.
        EXPECT_EQ(r.device.textsNamed(QStringLiteral("砂質土")).size(), c.Printed);
    }
}

TEST(TablePrintRows, SelfSinkingWordIsCentredInTheHalfTurnColumn)
{
    Recorded r;
    const Tkannyu log = QuarterMetreLog(5); // row 5 sinks by itself
    const TBlock block = r.page.RightColumn;
    {
        QPainter painter(&r.device);
        TTablePrint(painter, r.state).PrintRows(log, block, 1);
    }
    const long double c = static_cast<long double>(block.Width) / 9;
    const long double rowHeight = static_cast<long double>(block.Height) / r.state.PageLines;
    const int firstMiddle = TruncX(block.Top + 3.5L * rowHeight);
    const int fifthMiddle = TruncX(firstMiddle + 4 * rowHeight);

    const QRectF word = r.device.boxOf(Only(r.device, kSelfSinking));
    EXPECT_NEAR(word.center().x(), TruncX(block.Left + 3.5L * c), 1.0);
    EXPECT_NEAR(word.center().y(), fifthMiddle, 1.0);

    // Its Nsw text stands right-aligned in the Nsw column on the same line.
    bool foundNsw = false;
    for (const TRecordedText &text : r.device.textsNamed(QStringLiteral("0"))) {
        const QRectF box = r.device.boxOf(text);
        if (std::abs(box.center().y() - fifthMiddle) <= 1.0) {
            EXPECT_NEAR(box.right(), TruncX(block.Left + 4.9L * c), 1.0);
            foundNsw = true;
        }
    }
    EXPECT_TRUE(foundNsw);

    // The other rows write their count right-aligned at the Na position.
    const QList<TRecordedText> counts = r.device.textsNamed(QStringLiteral("4"));
    ASSERT_EQ(counts.size(), 4);
    EXPECT_NEAR(r.device.boxOf(counts.first()).right(), TruncX(block.Left + 3.9L * c), 1.0);
    EXPECT_NEAR(r.device.boxOf(counts.first()).center().y(), firstMiddle, 1.0);
}

TEST(TablePrintRows, RowTextsFollowTheDisplaySettings)
{
    struct Case
    {
        const char *Wsw;
        QString Na;
        bool NaMode;
        double NValue;
        QString LoadKN, LoadKgf, NaText, NValueText;
        bool SelfSinking;
    };
    const Case cases[] = {
        {"075", kSelfSinking, false, 1.26, "0.75", "75", kSelfSinking, "   1.3", true},
        {"100", "3.5", false, 12.36, "1.00", "100", "3", "  12.4", false},
        {"100", "3.5", true, 3.0, "1.00", "100", "3.5", "   3.0", false},
        {"5", "0", false, 0.0, "0.05", "5", "0", "   0.0", false},
    };
    for (const Case &c : cases) {
        Tvt_data row;
        row.Depth = 1025;
        row.Wsw = QString::fromLatin1(c.Wsw);
        row.Na = c.Na;
        row.NValue = c.NValue;
        const TTableRowTexts texts = TableRowTexts(row, c.NaMode);
        EXPECT_EQ(texts.Depth, QStringLiteral("10.25"));
        EXPECT_EQ(texts.LoadKN, c.LoadKN);
        EXPECT_EQ(texts.LoadKgf, c.LoadKgf);
        EXPECT_EQ(texts.Na, c.NaText);
        EXPECT_EQ(texts.NValue, c.NValueText);
        EXPECT_EQ(texts.SelfSinking, c.SelfSinking);
    }
    Tvt_data bad;
    bad.Wsw = QStringLiteral("1kN");
    bad.Na = QStringLiteral("3");
    EXPECT_THROW(TableRowTexts(bad, false), EConvertError);
}

TEST(TablePrintGrid, HeadingsAndRulesOfOneColumn)
{
    for (int rowNum : {40, 44, 48}) {
        Recorded r;
        SetTableLines(r.state, rowNum);
        const TBlock block = r.page.LeftColumn;
        {
            QPainter painter(&r.device);
            TTablePrint(painter, r.state).PrintGrid(block);
        }
        int dotted = 0;
        for (const TRecordedLine &line : r.device.Lines)
            dotted += line.Pen.style() == Qt::DotLine ? 1 : 0;
        EXPECT_EQ(dotted, rowNum - 1);

        const long double c = static_cast<long double>(block.Width) / 9;
        const long double rowHeight = static_cast<long double>(block.Height) / (rowNum + 3);
        const QRectF obs = r.device.boxOf(Only(r.device, QStringLiteral("観察")));
        EXPECT_NEAR(obs.center().x(), TruncX(TruncX(block.Left + 7 * c + c / 2) + c / 2), 1.0);
        const QRectF nsw = r.device.boxOf(Only(r.device, QStringLiteral("Nsw")));
        EXPECT_NEAR(nsw.center().x(), TruncX(block.Left + 4 * c + c / 2), 1.0);
        EXPECT_NEAR(nsw.center().y(), TruncX(block.Top + 2.5L * rowHeight), 1.0);
        EXPECT_EQ(r.device.textsNamed(QStringLiteral("荷重")).size(), 2);
    }
}

TEST(PrintSelectionNames, ParseTheCommandLineList)
{
    EXPECT_EQ(PrintoutNames(),
              (QStringList{"table", "nsw", "n", "table25", "nsw25", "n25", "tnsw25", "tn25"}));
    const std::optional<TPrintSelection> all =
        ParsePrintSelection(QStringLiteral("table,nsw,n,table25,nsw25,n25,tnsw25,tn25"));
    ASSERT_TRUE(all.has_value());
    EXPECT_TRUE(all->Table && all->Nsw && all->N && all->Table25 && all->Nsw25 && all->N25 &&
                all->TNsw25 && all->TN25);
    EXPECT_FALSE(all->Color);

    const std::optional<TPrintSelection> two = ParsePrintSelection(QStringLiteral(" TN25, nsw "));
    ASSERT_TRUE(two.has_value());
    TPrintSelection expected;
    expected.TN25 = true;
    expected.Nsw = true;
    EXPECT_EQ(*two, expected);

    EXPECT_FALSE(ParsePrintSelection(QStringLiteral("table,graph")).has_value());
    EXPECT_FALSE(ParsePrintSelection(QString())->anyPrintout());
}

} // namespace
