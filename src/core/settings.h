// Every option of the program, with its store section, key and default, and the store itself.
#pragma once

#include <QString>
#include <array>

class TSettingsStore;

struct TFileMode
{
    QString TempDir;     // folder of the transfer files and of the temporary-file dialog
    QString OpenDir;     // initial folder of the Open dialog
    QString SaveDir;     // initial folder of the Save dialog
    int FilterIndex = 1; // last filter index chosen in an open dialog
};

struct TSetting
{
    // Data
    int DNsw = 250; // Nsw given to hammered rows
    // PrnMode
    bool PrnTable = false;
    bool PrnNsw = false;
    bool PrnN = false;
    bool PrnTable25 = false;
    bool PrnNsw25 = false;
    bool PrnN25 = false;
    bool PrnTNsw25 = false;
    bool PrnTN25 = false;
    bool PrnColor = false;
    int RowNum = 40; // rows per printed table page: 40, 44 or 48
    // The print target chosen last: a PDF file when PrnPdfFile is not empty, else the printer
    // PrnPrinter names (empty: the system's default printer).
    QString PrnPrinter;
    QString PrnPdfFile;
    // GraphMode
    int GraphHeight = 420;
    int GraphWidth = 350;
    int GraphTop = 30;
    int GraphLeft = 100;
    int NswMax = 300;
    int NMax = 25;
    int TorqueMax = 100;
    int Depth1 = 10;
    int Depth2 = 20;
    int Graphtype = 1;
    bool Hide = false;
    bool WswMode = false;
    bool TorqueGraph = false;
    // GridMode
    int GridHeight = 330;
    int GridWidth = 485;
    int GridTop = 120;
    int GridLeft = 140;
    int GridDNsw = 200;
    bool NaMode = false;
    // TermMode
    int Port = 1;
    // Device path of "Comm1".."Comm9" (Comm[0] is Comm1); empty: the system's own order.
    std::array<QString, 9> Comm;
    // FileMode
    TFileMode FileMode;
    // KutenNuki
    bool KutenFlag = false;
    int KutenMaxD = 1;
    int KutenMinN = 20;
    // ManuInp
    int Raws = 40;
    // Evaluation
    QString BaseDepth = QStringLiteral("0.50"); // foundation base depth in metres, as typed
    // Archive
    QString ArchiveDatabase;       // the catalogue's URL; empty: the one in the user's data folder
    bool ArchiveOnOpenSave = true; // tests opened or saved in the window go in too
    int ArchiveRadius = 200;       // metres: what counts as near a site or a test
};

// Loads every key in table order: a missing or non-numeric value gives the default, RowNum is
// rounded down to a multiple of 4 and held within 40..48. `documentsDir` is the user's documents
// folder; TempDir defaults to the "Vantrell" folder in it, OpenDir and SaveDir to TempDir.
TSetting LoadSettings(const TSettingsStore &store, const QString &documentsDir);

// Writes every key as text (booleans "1"/"0"), RowNum rounded down to a multiple of 4, and the
// store to its file. Raises ECantWriteFile when the file cannot be written; it keeps its old
// content then.
void SaveSettings(const TSetting &setting, TSettingsStore &store);

// Overrides one value given as "Section/Key" (as stored); false when no such key exists.
bool SetSettingValue(TSetting &setting, const QString &sectionKey, const QString &value);

// The store of this program: organisation "Korvath", application = the executable's base name
// unless `application` names another (the command-line tool reads the desktop program's store):
// "Korvath/<application>.ini" in the user's config folder. The caller owns the result.
TSettingsStore *OpenSettingsStore(const QString &application = QString());

// The user's documents folder, without a trailing separator.
QString DocumentsFolder();
