// Reading data files (.ktd, .kgd, .kmd, .ksd) into a test.
#pragma once

#include "errors.h"
#include "record.h"
#include "typedrows.h"

#include <QChar>
#include <QList>
#include <QStringList>

struct TSetting;
class TReferenceTables;

// The kind of data the open test holds.
enum TDataKind : int { DataKindNone = 0, DataKindMeasured = 1, DataKindManual = 2 };

// A data file cannot be used. message() is what the user sees: the plain text
// "このファイルタイプには対応していません"; "ファイルエラー" with a second line naming the file
// and the reason; or, for a malformed line, a text naming the file and the line.
class EDataFileError : public ETessmarkError
{
public:
    enum Reason { UnsupportedType, ReadFailed, Malformed };
    EDataFileError(Reason reason, const QString &message)
        : ETessmarkError(message), m_reason(reason)
    {}
    Reason reason() const { return m_reason; }

private:
    Reason m_reason;
};

// A manual-input file whose rows break a rule that the switch to edit mode applies to typed rows
// (CheckTypedRow): the message is the switch's. Test holds the file as read, its rows not
// computed with, so the window can show them in input mode to be mended; Row (counted from 1)
// and Field say where.
class ETypedFileError : public EDataFileError
{
public:
    ETypedFileError(const ETypedRowError &error, const TSoundingTest &test)
        : EDataFileError(Malformed, error.message()), Test(test), Row(error.Row), Field(error.Field)
    {}
    TSoundingTest Test;
    int Row;
    TTypedField Field;
};

// The extension of the path's file name with its dot (".kgd"), as written; empty when the
// file name has no dot.
QString FileExtensionOf(const QString &path);

// True when the path's extension is one the reader accepts (.kgd .ktd .ksd .kmd, any case).
bool IsReadableDataFile(const QString &path);

// The largest data file the reader opens: a real test is a few hundred kilobytes at most.
inline constexpr qint64 kMaxDataFileBytes = 64 * 1024 * 1024;

// The file's lines as bytes, filler lines ("000   ", "000,,,") dropped. Lines end at CR LF, LF
// or CR. When `lineNumbers` is given it receives the 1-based file line of every kept line.
// Raises EDataFileError (ReadFailed) when the file cannot be read: "ファイルエラー" and a second
// line naming the file with the system's reason, or saying it is not a regular file (a pipe or
// a device could keep the reader waiting or never end) or above kMaxDataFileBytes.
QList<QByteArray> ReadDataLines(const QString &path, QList<int> *lineNumbers = nullptr);
// The same for a file's bytes already read.
QList<QByteArray> SplitDataLines(const QByteArray &bytes, QList<int> *lineNumbers = nullptr);

// Splits at every separator; two separators in a row give an empty field, and the text after
// the last separator is a field too.
QStringList SplitFields(const QString &line, QChar separator);

// Parses the lines into test.NormalLog and the side records (TestGps, TestParams,
// TestQuantities), derives Nsw and converted N and copies NormalLog into DisplayLog.
// test.CurrentFile must already name the file (its extension decides the soil-type rule).
// Raises EDataFileError (Malformed) naming the file and the line on a malformed line; the
// line is taken from `lineNumbers` when given (one entry per line), else its 1-based index.
// A line in the test section shaped like a data row but not starting with a digit (a damaged
// load field) is malformed too, and never dropped. A manual-input file's rows must pass the
// check of typed rows, else ETypedFileError.
int ParseLines(const QList<QByteArray> &lines, QChar separator, TSoundingTest &test,
               const TSetting &setting, const TReferenceTables &tables,
               const QList<int> &lineNumbers = {});

// The model side of opening a file: checks the extension, reads, parses into a fresh test,
// keeps the lines as RawLines, sets CurrentFile and builds the rounded log. The caller's open
// test is untouched unless this returns. Raises EDataFileError. The automation host's
// "-EMBEDDING" argument is the caller's to recognise before calling. `bytesRead`, when given,
// receives the file's bytes as soon as they are read (also when parsing them then fails).
TSoundingTest OpenTestFile(const QString &path, const TSetting &setting,
                           const TReferenceTables &tables, QByteArray *bytesRead = nullptr);
// The same for a file's bytes already read (a transferred test before it is written, an archived
// one): `path` names the file, its extension decides the rules and the messages name it.
TSoundingTest OpenTestBytes(const QByteArray &bytes, const QString &path, const TSetting &setting,
                            const TReferenceTables &tables);

// The data kind a successfully opened file gives: manual for .kmd, else measured (none for a
// type the reader does not accept).
TDataKind DataKindOfFile(const QString &path);
