// Reads any bytes as the instrument's answer, in the pieces a serial line delivers, and names the
// transferred test from them. The first byte chooses the size of the pieces (bits 0-6: 1 to 128
// bytes) and whether the rest is sent as it stands (bit 7 clear) or framed as a whole answer of
// its lines (bit 7 set), which must then be read back exactly.
#include "fuzz_support.h"

#include "testlist.h"
#include "wire.h"

#include <QRegularExpression>
#include <cstdlib>

namespace {

// Stops the run as a finding: an answer or a name the program must never produce.
void require(bool held)
{
    if (!held)
        std::abort();
}

// Feeds the bytes in pieces until the reader has decided.
Wire::TAnswerReader readInPieces(const QByteArray &bytes, qsizetype piece)
{
    Wire::TAnswerReader reader;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        const Wire::TAnswerReader::State state = reader.feed(bytes.mid(at, piece));
        if (state != Wire::TAnswerReader::Waiting && state != Wire::TAnswerReader::Receiving)
            break;
    }
    require(reader.data().size() <= Wire::kMaxAnswerBytes);
    require(reader.lines().size() == reader.lineCount());
    return reader;
}

// A name is empty or made of two-digit fields and the fixed texts only.
void checkNaming(const QByteArray &answerFile)
{
    static const QRegularExpression safe(
        QStringLiteral("^[0-9]{2}年[0-9]{2}月[0-9]{2}日[0-9]{2}：[0-9]{2}\\.ktd$"));
    const QStringList lines = AnswerLinesOf(answerFile);
    const QString name = TransferFileName(lines);
    require(name.isEmpty() || safe.match(name).hasMatch());
    for (const QString &shown : TestListLines(lines))
        require(TestNumberOfLine(shown) > 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype piece = 1 + (data[0] & 0x7f);
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    if ((data[0] & 0x80) == 0) {
        const Wire::TAnswerReader reader = readInPieces(rest, piece);
        checkNaming(reader.data());
        // The bytes as an answer file of their own reach the naming without the check's luck.
        checkNaming(rest);
        return 0;
    }

    // Framed, every line that fits a line of the protocol comes back as it was sent.
    QList<QByteArray> lines = rest.split('\n');
    bool fits = true;
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        // "D ", the line and the CR of its end may wait for the LF in one piece.
        fits = fits && line.size() + 3 <= Wire::kMaxLineLength;
    }
    const Wire::TAnswerReader reader = readInPieces(Wire::answerFrame(lines), piece);
    if (fits) {
        require(reader.state() == Wire::TAnswerReader::Complete);
        require(reader.lines() == lines);
    }
    checkNaming(reader.data());
    return 0;
}
