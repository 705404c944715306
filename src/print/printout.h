// The print run: the chosen printouts of the open test (tables, graphs, tables beside graphs)
// as one document on any paged device — a printer or a PDF file.
#pragma once

#include "record.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QImage;

class QPagedPaintDevice;
class QPdfWriter;
class TReferenceTables;
struct TSetting;

// Which printouts to produce, in the order they print, and colour or black hatches.
struct TPrintSelection
{
    bool Table = false;   // table of the normal data
    bool Nsw = false;     // Nsw graph of the normal data
    bool N = false;       // converted-N graph of the normal data
    bool Table25 = false; // table of the 25 cm rounded data
    bool Nsw25 = false;   // Nsw graph of the rounded data
    bool N25 = false;     // converted-N graph of the rounded data
    bool TNsw25 = false;  // rounded table beside its Nsw graph
    bool TN25 = false;    // rounded table beside its converted-N graph
    bool Color = false;   // colours instead of black hatch patterns

    bool anyPrintout() const;
    bool operator==(const TPrintSelection &) const = default;
};

// The choices remembered in the settings.
TPrintSelection PrintSelectionFromSettings(const TSetting &setting);

// The names of the eight printouts in print order, as the command line writes them:
// "table", "nsw", "n", "table25", "nsw25", "n25", "tnsw25", "tn25".
QStringList PrintoutNames();

// A comma-separated list of printout names (any order, any case); nullopt when a name is unknown.
// The colour flag is left off.
std::optional<TPrintSelection> ParsePrintSelection(const QString &names);

// Everything a print run reads.
struct TPrintInput
{
    const TSoundingTest &Test;
    const TSetting &Setting;
    const TReferenceTables &Tables;
    int DataKind = 0;      // 1: measured data, else manual input (chooses the page title)
    QString PictureFolder; // the program's folder, where the header picture lies
};

struct TPrintResult
{
    int Pages = 0;               // pages emitted
    bool PictureMissing = false; // the header picture could not be read; pages have none
};

// Optional hooks of a print run.
struct TPrintHooks
{
    // Called after each page has been started, with its number (from 1).
    std::function<void(int pageNumber)> PageStarted;
    // Called when an error stops a run whose document is open, before the painter ends; a
    // printer caller abandons the job here (QPrinter::abort) so no half document is printed.
    std::function<void()> Abandon;
};

// Prints the selected printouts as one document, each page after the first on a new sheet.
// Nothing happens when no printout is selected. Values that cannot be printed (a load or
// half-turn text that is not a number) raise EConvertError before the document is begun; a
// device that cannot start raises ETessmarkError. A missing header picture does not stop the
// run. A printer caller sets the document name (PrintDocumentTitle()) itself; a PDF writer
// gets it here.
TPrintResult PrintSelected(QPagedPaintDevice &device, const TPrintSelection &selection,
                           const TPrintInput &input, const TPrintHooks &hooks = {});

// A PDF writer set up as the printout's paper: A4 portrait at 600 dots per inch, the whole
// sheet printable, the document titled.
void SetUpPdfWriter(QPdfWriter &writer);

// A PDF document drawn by `draw` on such a writer into `path`, and a picture as PNG: the file
// appears only when it is complete. Raise ECantWriteFile (the system's reason, or the disk-space
// message on a full disk) when it cannot be written; whatever `draw` raises passes through and
// leaves the old file.
void WritePdfFile(const QString &path, const std::function<void(QPdfWriter &)> &draw);
void WritePngFile(const QImage &image, const QString &path);
