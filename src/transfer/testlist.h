// What the transfer takes from the instrument's answers: the list lines shown for its tests, the
// test number a list line addresses, and the .ktd name of a received test.
#pragma once

#include <QString>
#include <QStringList>

// The lines of an answer file (CP932, CR LF); empty when it cannot be read or is larger than
// any answer the instrument sends.
QStringList LoadAnswerLines(const QString &path);
// The lines of an answer file's bytes.
QStringList AnswerLinesOf(const QByteArray &bytes);

// A line trimmed of blanks and control characters at both ends, split at every single blank
// (two blanks in a row give an empty field).
QStringList SplitAnswerFields(const QString &line);

// One display line per digit-led line of a list answer, in answer order:
// "NN id1-id2-id3-id4-id5 YY年MM月DD日 hh:mm". NN is the test's place in the list, zero-padded
// to two digits, or to as many as the largest number has when there are more than 99 tests,
// so the sorted list keeps the instrument's order.
QStringList TestListLines(const QStringList &answerLines);

// The test number at the start of a display line (all its leading digits); 0 when none.
int TestNumberOfLine(const QString &displayLine);

// The .ktd name of a received test: "YY年MM月DD日hh：mm.ktd" from fields 5..9 of its first
// digit-led line. Empty (the answer is malformed) when there is no such line with ten fields,
// or when one of those five fields is anything but two digits 0-9.
QString TransferFileName(const QStringList &answerLines);
