#include "record.h"

#include "errors.h"

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
    if (naMode)
        return QString::asprintf("%.1f", value + 0.0001);
    return QString::number(static_cast<long long>(std::trunc(value)));
}

QString NswText(double value, bool naMode)
{
    const double a = std::trunc((value + 0.001) * 10);
    if (naMode)
        return QString::asprintf("%.1f", a / 10);
    return QString::number(static_cast<long long>(std::trunc(a / 10)));
}

QString NaFileText(double value, bool naMode)
{
    const long long whole = static_cast<long long>(std::trunc(value));
    if (!naMode)
        return QString::asprintf("%.3lld", whole);
    const long long tenth = static_cast<long long>(std::trunc(value * 10 + 0.01)) % 10;
    return QString::asprintf("%.3lld.%.1lld", whole, tenth);
}
