#include "printout.h"

#include "derived.h"
#include "drawtext.h"
#include "errors.h"
#include "graphdraw.h"
#include "printgeometry.h"
#include "reftables.h"
#include "safewrite.h"
#include "settings.h"
#include "tableprint.h"

#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <memory>

namespace {

enum class TLogChoice { Normal, Rounded };
enum class TPrintoutKind { Table, GraphOnly, TableWithGraph };

// One of the eight printouts: what it prints and from which log.
struct TPrintoutEntry
{
    bool TPrintSelection::*Flag;
    const char *Name;
    TLogChoice Log;
    TPrintoutKind Kind;
    TGraphKind Graph;
};

constexpr TPrintoutEntry kPrintouts[8] = {
    {&TPrintSelection::Table, "table", TLogChoice::Normal, TPrintoutKind::Table, TGraphKind::Nsw},
    {&TPrintSelection::Nsw, "nsw", TLogChoice::Normal, TPrintoutKind::GraphOnly, TGraphKind::Nsw},
    {&TPrintSelection::N, "n", TLogChoice::Normal, TPrintoutKind::GraphOnly, TGraphKind::N},
    {&TPrintSelection::Table25, "table25", TLogChoice::Rounded, TPrintoutKind::Table,
     TGraphKind::Nsw},
    {&TPrintSelection::Nsw25, "nsw25", TLogChoice::Rounded, TPrintoutKind::GraphOnly,
     TGraphKind::Nsw},
    {&TPrintSelection::N25, "n25", TLogChoice::Rounded, TPrintoutKind::GraphOnly, TGraphKind::N},
    {&TPrintSelection::TNsw25, "tnsw25", TLogChoice::Rounded, TPrintoutKind::TableWithGraph,
     TGraphKind::Nsw},
    {&TPrintSelection::TN25, "tn25", TLogChoice::Rounded, TPrintoutKind::TableWithGraph,
     TGraphKind::N},
};

// The RowNum option as the table can use it: a multiple of 4 from 40 to 48.
int UsableRowNum(int rowNum)
{
    return qBound(40, rowNum / 4 * 4, 48);
}

// One print run on one device.
class TPrintJob
{
public:
    TPrintJob(QPagedPaintDevice &device, const TPrintInput &input, const TPrintHooks &hooks,
              bool colour)
        : m_device(device), m_input(input), m_hooks(hooks)
    {
        SetTableLines(m_state, UsableRowNum(input.Setting.RowNum));
        m_state.NaMode = input.Setting.NaMode;
        m_state.DataKind = input.DataKind;
        m_state.TestParams = input.Test.TestParams;
        m_paint.ColorPrint = colour;
    }

    void Run(const TPrintSelection &selection);
    void Finish();
    void Abandon();

    int Pages() const { return m_state.PageNumber; }
    bool PictureMissing() const { return m_pictureMissing; }

private:
    const Tkannyu &LogOf(TLogChoice choice) const
    {
        return choice == TLogChoice::Normal ? m_input.Test.NormalLog : m_input.Test.RoundedLog;
    }
    int DepthRange() const
    {
        return GraphDepthRange(m_input.Test.DisplayLog.FinalDepth, m_input.Setting.Depth1);
    }

    void StartPage();
    void PrintTablePages(const Tkannyu &test, TGraphStyle *style);
    void PrintGraphPage(const Tkannyu &test, TGraphStyle &style);
    void PrintGraph(const Tkannyu &test, TGraphKind kind, bool graphOnly);

    QPagedPaintDevice &m_device;
    const TPrintInput &m_input;
    const TPrintHooks &m_hooks;
    QPainter m_painter;
    TPrintState m_state;
    TPageGeometry m_page;
    TPrint_Paint m_paint;
    bool m_torqueOnPrint = false;
    bool m_pictureLoaded = false;
    bool m_pictureMissing = false;
};

void TPrintJob::Run(const TPrintSelection &selection)
{
    const QString normalCaption = NormalViewSuffix();
    const QString roundedCaption = RoundedViewSuffix(m_input.Setting);
    for (const TPrintoutEntry &entry : kPrintouts) {
        if (!(selection.*entry.Flag))
            continue;
        const bool normal = entry.Log == TLogChoice::Normal;
        m_state.PrintCaption = normal ? normalCaption : roundedCaption;
        // Only the graph pages of the normal data carry the torque curve.
        m_torqueOnPrint = normal && m_input.Setting.TorqueGraph;
        const Tkannyu &test = LogOf(entry.Log);
        if (entry.Kind == TPrintoutKind::Table)
            PrintTablePages(test, nullptr);
        else
            PrintGraph(test, entry.Graph, entry.Kind == TPrintoutKind::GraphOnly);
    }
}

void TPrintJob::Finish()
{
    if (m_painter.isActive())
        m_painter.end();
}

void TPrintJob::Abandon()
{
    if (!m_painter.isActive())
        return;
    if (m_hooks.Abandon)
        m_hooks.Abandon();
    if (m_painter.isActive())
        m_painter.end();
}

void TPrintJob::StartPage()
{
    if (!m_painter.isActive()) {
        if (!m_painter.begin(&m_device))
            throw ETessmarkError(QStringLiteral("印刷を開始できません"));
    } else if (!m_device.newPage()) {
        throw ETessmarkError(QStringLiteral("印刷を続けられません"));
    }
    if (!m_pictureLoaded) {
        m_state.Picture = LoadHeaderPicture(m_input.PictureFolder);
        m_pictureMissing = m_state.Picture.isNull();
        m_pictureLoaded = true;
    }
    ++m_state.PageNumber;
    m_page = PageGeometry(m_device.width(), m_device.height());
    m_painter.fillRect(QRect(0, 0, m_page.PageWidth, m_page.PageHeight), Qt::white);
    if (m_hooks.PageStarted)
        m_hooks.PageStarted(m_state.PageNumber);
}

void TPrintJob::PrintTablePages(const Tkannyu &test, TGraphStyle *style)
{
    TTablePrint table(m_painter, m_state);
    int first = 1;
    int depth = 0;
    bool lastPage = false;
    while (!lastPage) {
        StartPage();
        table.PrintHeader(m_page.TableHeader, test);

        table.PrintGrid(m_page.LeftColumn);
        first = table.PrintRows(test, m_page.LeftColumn, first);
        lastPage = first == 0;

        if (style == nullptr) {
            table.PrintGrid(m_page.RightColumn);
            if (first != 0) {
                first = table.PrintRows(test, m_page.RightColumn, first);
                lastPage = first == 0;
            }
        } else {
            // Beside a 25 cm table every data line meets one quarter-metre tick of the graph.
            const PlotRect plot = TableGraphPlot(m_page.RightColumn, m_state.PageLines);
            m_paint.DepthFrom = depth;
            m_paint.DepthTo = depth + m_state.MetresPerPage;
            depth += m_state.MetresPerPage;
            m_paint.DepthLabels = 0;
            m_paint.MajorEvery = 4;
            m_paint.MinorEvery = 1;
            const double xs = style->AxisMax > 0 ? double(m_page.TableWidth) / style->AxisMax : 0;
            m_paint.DrawAxes(*style, plot, {xs, 1.0}, m_painter);
            const double ys = double(plot.Height()) / (m_state.MetresPerPage * 100);
            m_paint.DrawData(*style, {xs, ys}, QPoint(plot.Left, plot.Top), m_painter,
                             m_input.Tables, m_input.Setting.WswMode);
        }

        SetPen(m_painter, 3, Qt::SolidLine);
        OutlineBox(m_painter, m_page.RightColumn);
        OutlineBox(m_painter, m_page.LeftColumn);
    }
}

void TPrintJob::PrintGraphPage(const Tkannyu &test, TGraphStyle &style)
{
    StartPage();
    SetPen(m_painter, 3, Qt::SolidLine);
    m_painter.setBrush(Qt::white);
    m_painter.drawRect(m_page.Area.rect());
    m_painter.setBrush(Qt::NoBrush);

    TTablePrint header(m_painter, m_state);
    header.PrintHeader(m_page.GraphHeader, test);

    // The graph keeps the header's font family and sets its own heights.
    const int range = DepthRange();
    PaintGraph(m_painter, m_page.GraphArea.rect(), style, m_paint, range,
               m_torqueOnPrint ? &m_input.Test.TestQuantities : nullptr, m_input.Setting,
               m_input.Tables);
}

void TPrintJob::PrintGraph(const Tkannyu &test, TGraphKind kind, bool graphOnly)
{
    // A style of the run's own: the graph window's styles and their points stay untouched.
    const std::unique_ptr<TGraphStyle> style = MakeGraphStyle(kind, m_input.Setting);
    style->LoadPoints(test, m_input.Setting);
    if (graphOnly)
        PrintGraphPage(test, *style);
    else
        PrintTablePages(test, style.get());
}

// Everything that could fail on the data is tried before the document begins, so a bad value
// never leaves a half-printed document behind.
void CheckPrintable(const TPrintSelection &selection, const TPrintInput &input)
{
    for (const TPrintoutEntry &entry : kPrintouts) {
        if (!(selection.*entry.Flag))
            continue;
        const Tkannyu &log =
            entry.Log == TLogChoice::Normal ? input.Test.NormalLog : input.Test.RoundedLog;
        if (entry.Kind != TPrintoutKind::GraphOnly) {
            for (int i = 1; i <= log.Count; ++i)
                TableRowTexts(log.row(i), input.Setting.NaMode);
        }
        if (entry.Kind != TPrintoutKind::Table)
            MakeGraphStyle(entry.Graph, input.Setting)->LoadPoints(log, input.Setting);
    }
}

} // namespace

bool TPrintSelection::anyPrintout() const
{
    for (const TPrintoutEntry &entry : kPrintouts) {
        if (this->*entry.Flag)
            return true;
    }
    return false;
}

TPrintSelection PrintSelectionFromSettings(const TSetting &setting)
{
    TPrintSelection selection;
    selection.Table = setting.PrnTable;
    selection.Nsw = setting.PrnNsw;
    selection.N = setting.PrnN;
    selection.Table25 = setting.PrnTable25;
    selection.Nsw25 = setting.PrnNsw25;
    selection.N25 = setting.PrnN25;
    selection.TNsw25 = setting.PrnTNsw25;
    selection.TN25 = setting.PrnTN25;
    selection.Color = setting.PrnColor;
    return selection;
}

QStringList PrintoutNames()
{
    QStringList names;
    for (const TPrintoutEntry &entry : kPrintouts)
        names.append(QString::fromLatin1(entry.Name));
    return names;
}

std::optional<TPrintSelection> ParsePrintSelection(const QString &names)
{
    TPrintSelection selection;
    for (const QString &part : names.split(u',', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toLower();
        bool known = false;
        for (const TPrintoutEntry &entry : kPrintouts) {
            if (name == QLatin1String(entry.Name)) {
                selection.*entry.Flag = true;
                known = true;
            }
        }
        if (!known)
            return std::nullopt;
    }
    return selection;
}

TPrintResult PrintSelected(QPagedPaintDevice &device, const TPrintSelection &selection,
                           const TPrintInput &input, const TPrintHooks &hooks)
{
    if (!selection.anyPrintout())
        return {};
    CheckPrintable(selection, input);
    if (auto *pdf = dynamic_cast<QPdfWriter *>(&device))
        pdf->setTitle(PrintDocumentTitle());

    TPrintJob job(device, input, hooks, selection.Color);
    try {
        job.Run(selection);
    } catch (...) {
        job.Abandon();
        throw;
    }
    job.Finish();
    return {job.Pages(), job.PictureMissing()};
}

void SetUpPdfWriter(QPdfWriter &writer)
{
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(600);
    writer.setTitle(PrintDocumentTitle());
    writer.setCreator(QStringLiteral("Tessmark"));
}

void WritePdfFile(const QString &path, const std::function<void(QPdfWriter &)> &draw)
{
    WriteFileAtomically(path, [&draw](QIODevice &device) {
        QPdfWriter writer(&device);
        SetUpPdfWriter(writer);
        draw(writer);
    });
}

void WritePngFile(const QImage &image, const QString &path)
{
    WriteFileAtomically(path, [&image, &path](QIODevice &device) {
        QImageWriter writer(&device, "png");
        if (!writer.write(image))
            throw ECantWriteFile(QStringLiteral("データを保存できません\r%1: %2")
                                     .arg(QDir::toNativeSeparators(path), writer.errorString()));
    });
}
