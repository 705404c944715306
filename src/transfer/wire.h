// The line protocol between the program and the Vantrell instrument (docs/protocol.md): how a
// command and its answer travel, and how a damaged answer is told from a complete one.
#pragma once

#include <QByteArray>
#include <QList>

namespace Wire {

inline constexpr int kBaudRate = 38400;
// Longer lines are damage, not data: the instrument's lines are well under 100 bytes.
inline constexpr int kMaxLineLength = 4096;
// The most one answer may carry: its data lines as the answer file holds them (each followed by
// CR LF). A real test is a few thousand lines; more is a damaged or runaway answer, refused
// before it can take the program's memory.
inline constexpr qsizetype kMaxAnswerBytes = 16 * 1024 * 1024;

// A command line as sent: the CP932 text followed by CR LF (a CR or LF inside is dropped).
QByteArray commandFrame(const QByteArray &command);

// The check of an answer: CRC-16 (ISO 3309) over every data line followed by CR LF.
quint16 checksum(const QList<QByteArray> &lines);

// A whole accepted answer: "A", one "D " line per data line, "E <count> <check>".
QByteArray answerFrame(const QList<QByteArray> &lines);
// A refusal: "N <reason>".
QByteArray refusalFrame(const QByteArray &reason);

// Reads an answer as its bytes arrive.
class TAnswerReader
{
public:
    enum State { Waiting, Receiving, Complete, Refused, Malformed };

    // Takes the next bytes; answers the state after them.
    State feed(const QByteArray &bytes);
    State state() const { return m_state; }
    // True once any byte arrived.
    bool began() const { return m_began; }
    // The data lines received so far (all of them when Complete), as the answer file holds
    // them: each followed by CR LF. Never more than kMaxAnswerBytes.
    const QByteArray &data() const { return m_data; }
    // The same lines without their line ends.
    QList<QByteArray> lines() const;
    qsizetype lineCount() const { return m_lineCount; }

private:
    void takeLine(QByteArrayView line);

    State m_state = Waiting;
    bool m_began = false;
    QByteArray m_pending;
    QByteArray m_data;
    qsizetype m_lineCount = 0;
};

} // namespace Wire
