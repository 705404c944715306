// The table printer: the header block of every printed page and the grid and rows of one table
// column, drawn on a printer canvas.
#pragma once

#include "printgeometry.h"
#include "record.h"

#include <QImage>
#include <QList>
#include <QString>

class QPainter;

// The title of the printed document.
QString PrintDocumentTitle(); // "Tessmark プリントアウト"

// File name of the header picture, read from the program's folder.
QString HeaderPictureFileName(); // "ktxt.kbp"

// Reads the header picture from `folder`; a null image when it is missing or unreadable.
QImage LoadHeaderPicture(const QString &folder);

// What the pages of one print run share.
struct TPrintState
{
    int RowNum = 40;        // data lines of a table column
    int PageLines = 43;     // RowNum plus the three heading lines
    int MetresPerPage = 10; // depth one table column covers
    bool NaMode = false;
    int DataKind = 0;     // 1: measured data; anything else: manual input
    QString PrintCaption; // suffix of the page title for the printout in progress
    QList<TTestParam> TestParams;
    int PageNumber = 0; // of the page in progress; counts from 1 across the whole document
    QImage Picture;     // the header picture; null when it could not be read
};

// RowNum, PageLines and MetresPerPage for a table of `rowNum` lines per column.
void SetTableLines(TPrintState &state, int rowNum);

// The page title: the base title by data kind, a blank and the caption.
QString PrintTitle(int dataKind, const QString &caption);

// "MODE nn" from the last parameter named "P00", "000" or "0000"; empty when there is none.
QString ModeText(const QList<TTestParam> &params);

// The texts of one table line.
struct TTableRowTexts
{
    QString Depth;
    QString LoadKN;
    QString LoadKgf;
    QString Na; // the self-sinking word or the half-turn count
    bool SelfSinking = false;
    QString Nsw;
    QString Soil;
    QString NValue;
    QString Obs;
};

// Raises EConvertError when the load or the half-turn text is not a number.
TTableRowTexts TableRowTexts(const Tvt_data &row, bool naMode);

// Four lines around a block with the current pen.
void OutlineBox(QPainter &canvas, const TBlock &block);

// The printer of table columns.
class TPrintOut
{
public:
    virtual ~TPrintOut() = default;
    // Fills one table column from row `first`; answers the next row to print, or 0 when the
    // test is exhausted.
    virtual int PrintRows(const Tkannyu &test, const TBlock &block, int first) = 0;
};

class TTablePrint : public TPrintOut
{
public:
    TTablePrint(QPainter &canvas, const TPrintState &state);

    // The header block with the test information, the page number, the picture above its right
    // end and the mode line above its left end.
    bool PrintHeader(const TBlock &block, const TTestInfo &test);
    // The frame, headings and line rules of one table column.
    void PrintGrid(const TBlock &block);
    int PrintRows(const Tkannyu &test, const TBlock &block, int first) override;

private:
    QPainter &m_canvas;
    const TPrintState &m_state;
};
