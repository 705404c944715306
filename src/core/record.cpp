#include "record.h"

#include "errors.h"
#include "hugepages.h"
#include "numtext.h"

#include <cmath>

Tkannyu::Tkannyu() : m_rows(std::make_shared<QList<Tvt_data>>()) {}

void Tkannyu::detach()
{
    if (m_rows.use_count() > 1)
        m_rows = std::make_shared<QList<Tvt_data>>(*m_rows);
}

void Tkannyu::setRowArrayLength(int length)
{
    detach();
    m_rows->resize(length);
}

Tvt_data &Tkannyu::appendRow(const Tvt_data &row)
{
    detach();
    m_rows->append(row);
    return m_rows->last();
}

void Tkannyu::reserveRows(int capacity)
{
    detach();
    m_rows->reserve(capacity);
    AdviseHugePages(m_rows->constData(), size_t(m_rows->capacity()) * sizeof(Tvt_data));
}

void Tkannyu::reset()
{
    info() = TTestInfo{};
    // A fresh storage, never a clear of a shared one: the other log keeps its rows.
    m_rows = std::make_shared<QList<Tvt_data>>();
    Count = 0;
}

void Tkannyu::startRows()
{
    m_rows = std::make_shared<QList<Tvt_data>>(1);
    Count = 0;
}

void CopyLog(const Tkannyu &source, Tkannyu &target)
{
    if (&source == &target)
        return;
    target.info() = source.info();
    target.Count = source.Count;
    target.m_rows = source.m_rows;
}

void Clear_GPS(TGPSData &gps)
{
    gps = TGPSData{};
}

double NaValue(const QString &text, bool naMode)
{
    const double value = StrToFloat(text);
    return naMode ? value : std::trunc(value);
}

QString NaText(double value, bool naMode)
{
    if (!naMode)
        return ScaledText(static_cast<long long>(std::trunc(value)), 0);
    // The nudge of a ten-thousandth never moves a value of whole tenths to another tenth.
    qint64 tenths = 0;
    if (ExactScaled(value, 1, tenths))
        return ScaledText(tenths, 1);
    return QString::asprintf("%.1f", value + 0.0001);
}

QString NswText(double value, bool naMode)
{
    const double a = std::trunc((value + 0.001) * 10);
    if (!naMode)
        return ScaledText(static_cast<long long>(std::trunc(a / 10)), 0);
    // a is whole tenths.
    if (std::fabs(a) < 1e15)
        return ScaledText(static_cast<long long>(a), 1);
    return QString::asprintf("%.1f", a / 10);
}

QString NaFileText(double value, bool naMode)
{
    const long long whole = static_cast<long long>(std::trunc(value));
    const long long tenth = naMode ? static_cast<long long>(std::trunc(value * 10 + 0.01)) % 10 : 0;
    if (whole >= 0 && tenth >= 0) {
        // "%.3lld" and "%.1lld" of values that need no sign.
        QString text = QString::number(whole).rightJustified(3, u'0');
        if (naMode) {
            text += u'.';
            text += QChar(char16_t(u'0' + tenth));
        }
        return text;
    }
    if (!naMode)
        return QString::asprintf("%.3lld", whole);
    return QString::asprintf("%.3lld.%.1lld", whole, tenth);
}
