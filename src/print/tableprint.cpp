#include "tableprint.h"

#include "drawtext.h"
#include "errors.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>

namespace {

// The heading lines of the eight table columns.
struct TColumnHeading
{
    const char16_t *Lines[3];
};

constexpr TColumnHeading kHeadings[8] = {
    {{u"貫入深さ", u"D", u"[m]"}},
    {{u"荷重", u"Wsw", u"(kN)"}},
    {{u"荷重", u"Wsw", u"(kgf)"}},
    {{u"半回転数", u"", u"Na"}},
    {{u"1mあたり", u"半回転数", u"Nsw"}},
    {{u"土質", u"", u""}},
    {{u"換算Ｎ値", u"", u""}},
    {{u"観察", u"", u""}},
};

void SetPrintFont(QPainter &canvas, int pixelHeight)
{
    canvas.setFont(GothicFont(false, pixelHeight));
}

} // namespace

QString PrintDocumentTitle()
{
    return QStringLiteral("Tessmark プリントアウト");
}

QString HeaderPictureFileName()
{
    return QStringLiteral("ktxt.kbp");
}

QImage LoadHeaderPicture(const QString &folder)
{
    const QString path = QDir(folder).filePath(HeaderPictureFileName());
    // The picture is a Windows bitmap under its own extension: ask for that format first, then
    // let the reader look at the contents.
    QImageReader reader(path, "bmp");
    QImage picture = reader.read();
    if (picture.isNull()) {
        QImageReader byContent(path);
        byContent.setDecideFormatFromContent(true);
        picture = byContent.read();
    }
    return picture;
}

void SetTableLines(TPrintState &state, int rowNum)
{
    state.RowNum = rowNum;
    state.PageLines = rowNum + 3;
    state.MetresPerPage = rowNum * 25 / 100;
}

QString PrintTitle(int dataKind, const QString &caption)
{
    const QString base = dataKind == 1 ? QStringLiteral("バントレル　サウンディング試験結果")
                                       : QStringLiteral("スクリューウェイト貫入試験結果");
    return base + u' ' + caption;
}

QString ModeText(const QList<TTestParam> &params)
{
    QString mode;
    for (const TTestParam &param : params) {
        if (param.Name == u"P00" || param.Name == u"000" || param.Name == u"0000")
            mode = QStringLiteral("MODE ") + QString::asprintf("%.2d", param.Value);
    }
    return mode;
}

TTableRowTexts TableRowTexts(const Tvt_data &row, bool naMode)
{
    TTableRowTexts texts;
    texts.Depth = QString::asprintf("%.2f", row.Depth / 100.0);
    texts.LoadKN = QString::asprintf("%.2f", StrToFloat(row.Wsw) / 100);
    texts.LoadKgf = QString::asprintf("%d", StrToInt(row.Wsw));
    texts.SelfSinking = row.Na == kSelfSinking;
    texts.Na = texts.SelfSinking ? row.Na : NaText(NaValue(row.Na, naMode), naMode);
    texts.Nsw = row.Nsw;
    texts.Soil = row.Doshitu;
    texts.NValue = QString::asprintf("%6.1f", row.NValue);
    texts.Obs = row.Obs;
    return texts;
}

void OutlineBox(QPainter &canvas, const TBlock &block)
{
    const QPoint topLeft(block.Left, block.Top);
    const QPoint topRight(block.Right(), block.Top);
    const QPoint bottomRight(block.Right(), block.Bottom());
    const QPoint bottomLeft(block.Left, block.Bottom());
    const QLine lines[4] = {{topLeft, topRight},
                            {topRight, bottomRight},
                            {bottomRight, bottomLeft},
                            {bottomLeft, topLeft}};
    canvas.drawLines(lines, 4);
}

TTablePrint::TTablePrint(QPainter &canvas, const TPrintState &state)
    : m_canvas(canvas), m_state(state)
{}

bool TTablePrint::PrintHeader(const TBlock &block, const TTestInfo &test)
{
    const long double T = block.Top;
    const long double L = block.Left;
    const long double H = block.Height;
    const long double W = block.Width;
    const long double u = H / 12;
    const long double r = H / 6;
    const long double c = W / 8;

    SetPen(m_canvas, 2, Qt::SolidLine);
    // The picture sits above the block's right end; without it the page prints all the same.
    if (!m_state.Picture.isNull()) {
        const QPoint from(NearestX(L + 0.85L * W + u), NearestX(T - 4.8L * u));
        const QPoint to(NearestX(L + 0.85L * W + 11 * u), NearestX(T + 0.2L * u));
        m_canvas.drawImage(QRect(from, QSize(to.x() - from.x(), to.y() - from.y())),
                           m_state.Picture);
    }

    SetPen(m_canvas, 4, Qt::SolidLine);
    m_canvas.setBrush(Qt::white);
    m_canvas.drawRect(block.rect());
    m_canvas.setBrush(Qt::NoBrush);

    SetPen(m_canvas, 1, Qt::SolidLine);
    const int band1 = NearestX(T + 2 * r);
    const int band2 = NearestX(T + 4 * r);
    m_canvas.drawLine(block.Left, band1, block.Right(), band1);
    m_canvas.drawLine(block.Left, band2, block.Right(), band2);
    const int split = NearestX(L + 5 * c);
    m_canvas.drawLine(split, band1, split, block.Bottom());

    SetPrintFont(m_canvas, TruncX(2 * u));
    const int titleY = NearestX(T + r);
    DrawTextAnchored(m_canvas, block.Left + block.Width / 2, titleY, 4,
                     PrintTitle(m_state.DataKind, m_state.PrintCaption));
    DrawTextAnchored(m_canvas, block.Right() - 15, titleY, 5,
                     QString::asprintf("P %d", m_state.PageNumber));

    const int leftX = NearestX(L + 2 * c);
    const int rightX = NearestX(L + 6 * c);
    const int line2Y = NearestX(T + 3 * r);
    DrawTextAnchored(m_canvas, leftX, line2Y, 3,
                     QString::asprintf("試験コード %.3d-%.3d-%.3d-%.4d", test.Code1, test.Code2,
                                       test.Code3, test.Code4));
    DrawTextAnchored(m_canvas, rightX, line2Y, 3,
                     QString::asprintf("最終貫入深さ  %2.2fｍ", test.FinalDepth / 100.0));
    const int line3Y = NearestX(T + 5 * r);
    DrawTextAnchored(m_canvas, leftX, line3Y, 3,
                     QString::asprintf("%.4d年%2d月%2d日　%.2d:%.2d～%.2d:%.2d", test.fullYear(),
                                       test.Month, test.Day, test.StartHour, test.StartMin,
                                       test.EndHour, test.EndMin));
    DrawTextAnchored(m_canvas, rightX, line3Y, 3,
                     QString::asprintf("測点番号     %d", test.PointNo));

    const QString mode = ModeText(m_state.TestParams);
    if (!mode.isEmpty())
        DrawTextAnchored(m_canvas, block.Left, block.Top - 15, 6, mode);
    return true;
}

void TTablePrint::PrintGrid(const TBlock &block)
{
    const long double T = block.Top;
    const long double L = block.Left;
    const long double c = static_cast<long double>(block.Width) / 9;
    const long double r = static_cast<long double>(block.Height) / m_state.PageLines;

    SetPen(m_canvas, 3, Qt::SolidLine);
    m_canvas.setBrush(Qt::white);
    m_canvas.drawRect(block.rect());
    m_canvas.setBrush(Qt::NoBrush);

    SetPrintFont(m_canvas, TruncX(0.45L * r));
    SetPen(m_canvas, 1, Qt::SolidLine);
    long double offset = 0; // running sum of the column widths
    for (int i = 0; i < 8; ++i) {
        int centre = TruncX(L + offset + c / 2);
        if (i == 7) // the observation column is two columns wide
            centre = TruncX(centre + c / 2);
        for (int j = 0; j < 3; ++j) {
            const QString text = QString::fromUtf16(kHeadings[i].Lines[j]);
            if (!text.isEmpty())
                DrawTextAnchored(m_canvas, centre, TruncX(T + (j + 0.5L) * r), 4, text);
        }
        const int x = TruncX(L + offset);
        m_canvas.drawLine(x, block.Top, x, block.Bottom());
        offset += c;
    }

    const int headingsBottom = TruncX(T + 3 * r);
    m_canvas.drawLine(block.Left, headingsBottom, block.Right(), headingsBottom);

    SetPen(m_canvas, 1, Qt::DotLine);
    for (int k = 1; k < m_state.RowNum; ++k) {
        const int y = TruncX(T + (3 + k) * r);
        m_canvas.drawLine(block.Left, y, block.Right(), y);
    }
    SetPen(m_canvas, 1, Qt::SolidLine);
}

int TTablePrint::PrintRows(const Tkannyu &test, const TBlock &block, int first)
{
    const long double T = block.Top;
    const long double L = block.Left;
    const long double c = static_cast<long double>(block.Width) / 9;
    const long double r = static_cast<long double>(block.Height) / m_state.PageLines;

    SetPen(m_canvas, 2, Qt::SolidLine);
    const int depthX = TruncX(L + 0.9L * c);
    const int loadKNX = TruncX(L + 1.9L * c);
    const int loadKgfX = TruncX(L + 2.9L * c);
    const int naX = TruncX(L + 3.9L * c);
    const int selfSinkingX = TruncX(L + 3.5L * c);
    const int nswX = TruncX(L + 4.9L * c);
    const int soilX = TruncX(L + 5.5L * c);
    const int nValueX = TruncX(L + 6.9L * c);
    const int obsX = TruncX(L + 7.1L * c);
    const int largeFont = TruncX(0.55L * r);
    const int smallFont = TruncX(0.45L * r);
    const int nValueFont = TruncX(0.5L * r);

    long double middle = TruncX(T + 3.5L * r);
    for (int line = 0; line < m_state.RowNum; ++line) {
        if (first > test.Count)
            return 0;
        const TTableRowTexts texts = TableRowTexts(test.row(first), m_state.NaMode);
        const int y = TruncX(middle);
        SetPrintFont(m_canvas, largeFont);
        DrawTextAnchored(m_canvas, depthX, y, 5, texts.Depth);
        DrawTextAnchored(m_canvas, loadKNX, y, 5, texts.LoadKN);
        DrawTextAnchored(m_canvas, loadKgfX, y, 5, texts.LoadKgf);
        if (texts.SelfSinking)
            DrawTextAnchored(m_canvas, selfSinkingX, y, 4, texts.Na);
        else
            DrawTextAnchored(m_canvas, naX, y, 5, texts.Na);
        DrawTextAnchored(m_canvas, nswX, y, 5, texts.Nsw);
        SetPrintFont(m_canvas, smallFont);
        DrawTextAnchored(m_canvas, soilX, y, 4, texts.Soil);
        SetPrintFont(m_canvas, nValueFont);
        DrawTextAnchored(m_canvas, nValueX, y, 5, texts.NValue);
        SetPrintFont(m_canvas, largeFont);
        DrawTextAnchored(m_canvas, obsX, y, 3, texts.Obs);
        ++first;
        middle += r;
    }
    return first > test.Count ? 0 : first;
}
