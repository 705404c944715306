// A small cache for the few distinct texts a data file repeats on every row.
#pragma once

#include <QList>
#include <QStringView>

// The few distinct values a file repeats on every row (loads, codes, soil types), each worked
// out once and shared by the rows' texts. A strange file with many more has the rest worked out
// per row. An answer stays valid until the next call.
template<typename Entry> class RowCache
{
public:
    template<typename Make> const Entry &entry(QStringView key, Make make)
    {
        // Rows mostly repeat the value of the row before.
        if (m_last < m_entries.size() && sameText(m_entries.at(m_last).key, key))
            return m_entries.at(m_last);
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            if (sameText(m_entries.at(i).key, key)) {
                m_last = i;
                return m_entries.at(i);
            }
        }
        Entry made = make(key.toString());
        if (m_entries.size() >= kLimit) {
            m_spare = std::move(made);
            return m_spare;
        }
        m_last = m_entries.size();
        m_entries.append(std::move(made));
        return m_entries.last();
    }

private:
    // The keys are a few characters long: compared in place rather than by a library call.
    static bool sameText(QStringView a, QStringView b)
    {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }

    static constexpr qsizetype kLimit = 64;
    QList<Entry> m_entries;
    Entry m_spare;
    qsizetype m_last = 0;
};
