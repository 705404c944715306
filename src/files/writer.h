// Writing a test as .kgd, .kmd, .k25 or .k00.
#pragma once

#include "record.h"

#include <QChar>
#include <QList>

struct TSetting;
class TReferenceTables;

// The lines of one log in the standard layout, CP932 bytes without line ends.
// Raises EConvertError when a Wsw or Na text is not a number.
QList<QByteArray> WriteLog(const Tkannyu &log, QChar separator, const TSetting &setting,
                           const TReferenceTables &tables);

// RawLines from the test section on, with the half-turn and soil fields of data rows rewritten
// from NormalLog; every other line byte for byte. Data lines pair with rows the way the reader
// made them: a line of a skipped load is copied unchanged and takes no row, and so is a data
// line with no row left. `pairedRows` receives the number of rows written into lines.
QList<QByteArray> ReemitRawLines(const TSoundingTest &test, const TSetting &setting,
                                 const TReferenceTables &tables, int *pairedRows = nullptr);

// The lines a save to `path` writes, chosen by the path's extension (and the current file's):
// .k25 rounds first and writes the rounded log, .k00/.kmd/a .ksd source write NormalLog,
// anything else re-emits RawLines. When the raw lines cannot carry every row of NormalLog
// (a test typed in by hand has none), NormalLog is written instead so no row is lost.
QList<QByteArray> LinesForSave(TSoundingTest &test, const QString &path, const TSetting &setting,
                               const TReferenceTables &tables);

// Writes the lines with CR LF to a temporary file beside `path` and renames it over `path`,
// so a failed write never destroys an existing file; answers the bytes written. Raises
// ECantWriteFile.
QByteArray WriteLinesAtomically(const QString &path, const QList<QByteArray> &lines);

// What a save of a test without measured rows is refused with.
inline const QString kNoRowsToSaveText = QStringLiteral("測定データが1行もないため保存できません");

// LinesForSave + WriteLinesAtomically; a save as .kmd (exact extension) makes `path` the
// current file. Returns only after the file is complete. A test without measured rows is
// refused (ETessmarkError, kNoRowsToSaveText) and nothing is written. Answers the file's bytes.
QByteArray SaveTestFile(TSoundingTest &test, const QString &path, const TSetting &setting,
                        const TReferenceTables &tables);
