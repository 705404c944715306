#include "wire.h"

namespace Wire {

namespace {
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
}

QByteArray commandFrame(const QByteArray &command)
{
    QByteArray text = command;
    text.replace('\r', QByteArray()).replace('\n', QByteArray());
    return text + kLineEnd;
}

quint16 checksum(const QList<QByteArray> &lines)
{
    QByteArray all;
    for (const QByteArray &line : lines)
        all += line + kLineEnd;
    return qChecksum(all, Qt::ChecksumIso3309);
}

QByteArray answerFrame(const QList<QByteArray> &lines)
{
    QByteArray frame = QByteArrayLiteral("A") + kLineEnd;
    for (const QByteArray &line : lines)
        frame += "D " + line + kLineEnd;
    frame += "E " + QByteArray::number(lines.size()) + ' ' +
             QByteArray::number(checksum(lines), 16).rightJustified(4, '0').toUpper() + kLineEnd;
    return frame;
}

QByteArray refusalFrame(const QByteArray &reason)
{
    return "N " + reason + kLineEnd;
}

TAnswerReader::State TAnswerReader::feed(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        m_began = true;
    m_pending += bytes;
    // Lines are taken from a moving start and the rest kept once, so a large piece of an
    // answer costs time in proportion to its size.
    qsizetype start = 0;
    qsizetype end;
    while ((m_state == Waiting || m_state == Receiving) &&
           (end = m_pending.indexOf(kLineEnd, start)) >= 0) {
        takeLine(QByteArrayView(m_pending).sliced(start, end - start));
        start = end + 2;
    }
    m_pending.remove(0, start);
    if ((m_state == Waiting || m_state == Receiving) && m_pending.size() > kMaxLineLength)
        m_state = Malformed;
    return m_state;
}

QList<QByteArray> TAnswerReader::lines() const
{
    QList<QByteArray> lines;
    lines.reserve(m_lineCount);
    for (qsizetype start = 0, end; (end = m_data.indexOf(kLineEnd, start)) >= 0; start = end + 2)
        lines.append(m_data.sliced(start, end - start));
    return lines;
}

void TAnswerReader::takeLine(QByteArrayView line)
{
    if (m_state == Waiting) {
        if (line == "A")
            m_state = Receiving;
        else
            m_state = line.startsWith("N ") || line == "N" ? Refused : Malformed;
        return;
    }
    if (line.startsWith("D ")) {
        const QByteArrayView text = line.sliced(2);
        if (m_data.size() + text.size() + kLineEnd.size() > kMaxAnswerBytes) {
            m_state = Malformed;
            return;
        }
        m_data.append(text).append(kLineEnd);
        ++m_lineCount;
        return;
    }
    if (line.startsWith("E ")) {
        const QList<QByteArray> parts = line.sliced(2).toByteArray().split(' ');
        bool countOk = false;
        bool checkOk = false;
        // The check covers the bytes of the answer file, which is just what the data hold.
        const bool whole =
            parts.size() == 2 && parts.at(0).toLongLong(&countOk) == m_lineCount &&
            parts.at(1).toUShort(&checkOk, 16) == qChecksum(m_data, Qt::ChecksumIso3309);
        m_state = whole && countOk && checkOk ? Complete : Malformed;
        return;
    }
    m_state = Malformed;
}

} // namespace Wire
