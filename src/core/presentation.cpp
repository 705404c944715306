#include "presentation.h"

#include "errors.h"
#include "numtext.h"

#include <QTextStream>
#include <algorithm>

QStringList GridHeaderTexts()
{
    return {QStringLiteral("D (m) "),  QStringLiteral("Wsw(kN)"), QStringLiteral("Na"),
            QStringLiteral("Nsw"),     QStringLiteral("観察"),    QStringLiteral("土質"),
            QStringLiteral("換算Ｎ値")};
}

namespace {

// The grid's cells that are numbers: depth in metres, load in kN, converted N.
void appendDepthCell(QString &out, const Tvt_data &row)
{
    AppendScaled(out, row.Depth, 2); // "%2.2f" of Depth / 100
}

void appendLoadCell(QString &out, const Tvt_data &row)
{
    AppendFixed(out, StrToFloat(row.Wsw) / 100, 2);
}

QString halfTurnCell(const Tvt_data &row, bool naMode)
{
    return row.Na == kSelfSinking ? row.Na : NaText(NaValue(row.Na, naMode), naMode);
}

void appendNValueCell(QString &out, const Tvt_data &row)
{
    AppendFixed(out, row.NValue, 1);
}

} // namespace

QStringList GridRowTexts(const Tvt_data &row, bool naMode)
{
    QString depth;
    appendDepthCell(depth, row);
    QString load;
    appendLoadCell(load, row);
    QString nValue;
    appendNValueCell(nValue, row);
    return {depth, load, halfTurnCell(row, naMode), row.Nsw, row.Obs, row.Doshitu, nValue};
}

namespace {

// A number cell of a row line: its digits when they are exact, else the printed text.
struct NumberCell
{
    NumberCell(double value, int decimals) : decimals(decimals)
    {
        if (!ExactScaled(value, decimals, scaled))
            printed = FixedText(value, decimals);
    }
    qsizetype room() const { return printed.isNull() ? kScaledTextRoom : printed.size(); }

    int decimals;
    qint64 scaled = 0;
    QString printed;
};

// Writes a row line's characters straight into room reserved at the end of a text: one
// append per cell costs more than the cell.
class LineWriter
{
public:
    LineWriter(QString &out, qsizetype room) : m_out(out), m_start(out.size())
    {
        m_out.resize(m_start + room);
        m_at = reinterpret_cast<char16_t *>(m_out.data()) + m_start;
        m_begin = m_at;
    }
    ~LineWriter() { m_out.resize(m_start + (m_at - m_begin)); }
    LineWriter(const LineWriter &) = delete;
    LineWriter &operator=(const LineWriter &) = delete;

    void put(char16_t c) { *m_at++ = c; }
    void put(const QString &text) { m_at = std::copy_n(text.utf16(), text.size(), m_at); }
    void put(qint64 scaled, int decimals) { m_at += WriteScaled(m_at, scaled, decimals); }
    void put(const NumberCell &cell)
    {
        if (cell.printed.isNull())
            put(cell.scaled, cell.decimals);
        else
            put(cell.printed);
    }

private:
    QString &m_out;
    qsizetype m_start;
    char16_t *m_begin;
    char16_t *m_at;
};

} // namespace

void AppendGridRowLine(QString &out, const Tvt_data &row, bool naMode)
{
    const NumberCell load(StrToFloat(row.Wsw) / 100, 2);
    const QString na = halfTurnCell(row, naMode);
    const NumberCell nValue(row.NValue, 1);
    LineWriter line(out, kScaledTextRoom + load.room() + na.size() + row.Nsw.size() +
                             row.Obs.size() + row.Doshitu.size() + nValue.room() + 7);
    line.put(row.Depth, 2);
    line.put(u'\t');
    line.put(load);
    line.put(u'\t');
    line.put(na);
    line.put(u'\t');
    line.put(row.Nsw);
    line.put(u'\t');
    line.put(row.Obs);
    line.put(u'\t');
    line.put(row.Doshitu);
    line.put(u'\t');
    line.put(nValue);
    line.put(u'\n');
}

void WriteTestText(const TSoundingTest &test, bool naMode, QTextStream &out)
{
    const Tkannyu &log = test.DisplayLog;
    out << TestCodeText(log) << '\n'
        << PointNoText(log) << '\n'
        << TestTimeText(log) << '\n'
        << FinalDepthText(log) << '\n'
        << GpsText(test.TestGps) << '\n'
        << '\n'
        << GridHeaderTexts().join(u'\t') << '\n';
    // Rows go out in blocks: one stream write per row costs more than building the row.
    constexpr qsizetype kBlock = 32 * 1024;
    QString block;
    block.reserve(kBlock + 256);
    try {
        for (int i = 1; i <= log.Count; ++i) {
            AppendGridRowLine(block, log.row(i), naMode);
            if (block.size() >= kBlock) {
                out << block;
                block.resize(0);
            }
        }
    } catch (...) {
        // The rows before a bad one are shown, as when each row went out at once.
        out << block;
        throw;
    }
    out << block;
}

QString TestCodeText(const TTestInfo &info)
{
    return QString::asprintf("試験コード  %.3d-%.3d-%.3d-%.4d", info.Code1, info.Code2, info.Code3,
                             info.Code4);
}

QString PointNoText(const TTestInfo &info)
{
    return QString::asprintf("測点番号 %.2d", info.PointNo);
}

QString TestTimeText(const TTestInfo &info)
{
    return QString::asprintf("試験時間       %.4d年 %2d月 %2d日 %.2d時%.2d分～%.2d時%.2d分",
                             info.fullYear(), info.Month, info.Day, info.StartHour, info.StartMin,
                             info.EndHour, info.EndMin);
}

QString FinalDepthText(const TTestInfo &info)
{
    return QString::asprintf("最終貫入深さ   %2.2f m", info.FinalDepth / 100.0);
}

QString GpsText(const TGPSData &gps)
{
    if (!gps.hasPosition())
        return QStringLiteral("GPS未測位");
    return QStringLiteral("GPS測位  緯度 %1%2 経度%3%4 海抜高度%5%6")
        .arg(gps.Latitude, gps.LatitudeUnit, gps.Longitude, gps.LongitudeUnit, gps.Altitude,
             gps.AltitudeUnit);
}
