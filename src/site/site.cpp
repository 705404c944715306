#include "site.h"

#include "errors.h"
#include "gpsposition.h"
#include "reader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

QString DefaultPointLabel(qsizetype index)
{
    return QStringLiteral("No.%1").arg(index + 1);
}

QString NextPointLabel(const TSite &site)
{
    for (qsizetype index = site.Points.size();; ++index) {
        const QString label = DefaultPointLabel(index);
        if (FindPointLabel(site, label) == -1)
            return label;
    }
}

qsizetype FindPointLabel(const TSite &site, const QString &label)
{
    qsizetype found = -1;
    for (qsizetype i = 0; i < site.Points.size(); ++i) {
        if (site.Points.at(i).Label != label)
            continue;
        if (found != -1)
            return -2;
        found = i;
    }
    return found;
}

QString LabelProblem(const TSite &site, qsizetype index, const QString &label)
{
    if (label.trimmed().isEmpty())
        return QStringLiteral("測点名が空です");
    for (qsizetype i = 0; i < site.Points.size(); ++i) {
        if (i != index && site.Points.at(i).Label == label)
            return QStringLiteral("測点名「%1」はほかの測点が使っています").arg(label);
    }
    return {};
}

bool SiteMetresFit(double metres)
{
    return std::isfinite(metres) && std::abs(metres) <= kMaxSiteMetres;
}

std::optional<double> ParseSiteMetres(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^[-+]?(\\d{1,5}(\\.\\d*)?|\\.\\d+)$"));
    const QString trimmed = text.trimmed();
    if (!pattern.match(trimmed).hasMatch() || !SiteMetresFit(trimmed.toDouble()))
        return std::nullopt;
    return trimmed.toDouble();
}

QString SiteMetresText(double metres)
{
    const QString text = QString::asprintf("%.2f", metres);
    return text == u"-0.00" ? QStringLiteral("0.00") : text;
}

QString SiteMetresText(const std::optional<double> &metres)
{
    return metres ? SiteMetresText(*metres) : QStringLiteral("-");
}

QString SitePermilleText(const std::optional<double> &permille)
{
    if (!permille)
        return QStringLiteral("-");
    const QString text = QString::asprintf("%.1f", *permille);
    return text == u"-0.0" ? QStringLiteral("0.0") : text;
}

TSitePointTest ReadSitePointTest(const QString &file, const TSetting &setting,
                                 const TReferenceTables &tables)
{
    TSitePointTest read;
    const QString shown = QDir::toNativeSeparators(file);
    const QFileInfo info(file);
    if (!info.exists()) {
        read.Problem = QStringLiteral("試験ファイルがありません: %1").arg(shown);
        return read;
    }
    // A folder, a device or a pipe under a test's name is there, but holds no test.
    if (!info.isFile()) {
        read.Problem = QStringLiteral("試験ファイルは通常のファイルではありません: %1").arg(shown);
        return read;
    }
    try {
        read.Test = OpenTestFile(file, setting, tables);
    } catch (const ETessmarkError &e) {
        // The reader's plain texts ("ファイルエラー") do not say which file.
        read.Problem = e.message().contains(QFileInfo(file).fileName())
                           ? e.message()
                           : QStringLiteral("%1: %2").arg(shown, e.message());
    }
    return read;
}

std::optional<double> TSitePointFigures::SoftBottomLevel() const
{
    if (!Ground || !SoftBottom)
        return std::nullopt;
    return *Ground - *SoftBottom / 100.0;
}

QString FarPointText(const TSiteFarPoint &far)
{
    return QStringLiteral(
               "位置がほかの測点の中央から %1 km 離れています（緯度・経度の誤りのおそれ）")
        .arg(QString::number(far.Distance / 1000, 'f', 1));
}

std::optional<TSiteFarPoint> TSiteFigures::FarPoint(qsizetype index) const
{
    for (const TSiteFarPoint &far : FarPoints) {
        if (far.Index == index)
            return far;
    }
    return std::nullopt;
}

bool TSiteFigures::TrueSpacing() const
{
    if (Points.isEmpty() || !FarPoints.isEmpty())
        return false;
    double length = 0;
    for (const TSitePairFigures &pair : Pairs) {
        if (!pair.Distance)
            return false;
        length += *pair.Distance;
    }
    return Points.size() == 1 || length > 0;
}

namespace {

// The parts of `layers` inside from..to whose load is at most `maxLoad`, and their thickness.
int cutLayers(const QList<TSelfSinkingLayer> &layers, int from, int to, int maxLoad,
              QList<TSelfSinkingLayer> &cut)
{
    int thickness = 0;
    for (const TSelfSinkingLayer &layer : layers) {
        const int top = std::max(layer.Top, from);
        const int bottom = std::min(layer.Bottom, to);
        if (bottom <= top || layer.Load > maxLoad)
            continue;
        cut.append({top, bottom, layer.Load});
        thickness += bottom - top;
    }
    return thickness;
}

void evaluatePoint(TSitePointFigures &figures, const Tkannyu &rounded, int base)
{
    try {
        figures.Result = EvaluateBearing(rounded, base);
    } catch (const ETessmarkError &e) {
        figures.Problems.append(e.message());
        return;
    }
    const QList<TSelfSinkingLayer> &layers = figures.Result->Layers;
    const int meanTo = base + kMeanRangeCm;
    const int checkTo = base + kSecondBandCm;
    figures.UpperThickness =
        cutLayers(layers, base, meanTo, kFirstBandLoad, figures.UpperStretches);
    figures.LowerThickness =
        cutLayers(layers, meanTo, checkTo, kSecondBandLoad, figures.LowerStretches);
    // Each listed layer reaches into one of the two bands, so its bottom lies below the base.
    for (const TSelfSinkingLayer &layer : layers)
        figures.SoftBottom =
            std::max(figures.SoftBottom.value_or(0), std::min(layer.Bottom, checkTo));
}

double median(QList<double> values)
{
    const qsizetype middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    const double upper = values.at(middle);
    if (values.size() % 2 == 1)
        return upper;
    return (*std::max_element(values.cbegin(), values.cbegin() + middle) + upper) / 2;
}

// The median stands among the correct points as long as most of them are correct, so one
// misread position cannot drag it away as it would a mean.
QList<TSiteFarPoint> farPoints(const QList<TSitePointFigures> &points)
{
    QList<double> xs;
    QList<double> ys;
    for (const TSitePointFigures &point : points) {
        if (point.Position) {
            xs.append(point.Position->x());
            ys.append(point.Position->y());
        }
    }
    QList<TSiteFarPoint> far;
    if (xs.isEmpty())
        return far;
    const QPointF centre(median(xs), median(ys));
    for (qsizetype i = 0; i < points.size(); ++i) {
        if (!points.at(i).Position)
            continue;
        const QPointF away = *points.at(i).Position - centre;
        const double distance = std::hypot(away.x(), away.y());
        if (distance > kFarPointMetres)
            far.append({i, distance});
    }
    return far;
}

} // namespace

TSiteFigures ComputeSiteFigures(const TSite &site, const QList<TSitePointTest> &tests)
{
    TSiteFigures figures;
    const qsizetype count = site.Points.size();
    figures.Points.resize(count);

    // The GPS record of every point first: the origin is the first one that gives a position.
    QList<std::optional<TGeoPosition>> places(count);
    QList<std::optional<double>> altitudes(count);
    for (qsizetype i = 0; i < count; ++i) {
        TSitePointFigures &point = figures.Points[i];
        const TSitePointTest &test = tests.value(i);
        if (!test.Test) {
            point.Problems.append(test.Problem);
            continue;
        }
        point.Problems += test.Test->ReadNotes;
        const TGPSData &gps = test.Test->TestGps;
        try {
            places[i] = ReadGpsPosition(gps);
        } catch (const EConvertError &e) {
            point.Problems.append(e.message());
            // The altitude was taken with the position: a position that cannot be read puts it
            // in doubt too.
            if (!gps.Altitude.trimmed().isEmpty())
                point.Problems.append(
                    QStringLiteral("GPSの位置が読めないため、海抜高度も使いません"));
            continue;
        }
        try {
            altitudes[i] = ReadGpsAltitude(gps);
        } catch (const EConvertError &e) {
            point.Problems.append(e.message());
        }
        if (places[i] && figures.PositionOrigin < 0)
            figures.PositionOrigin = i;
        if (altitudes[i] && figures.GroundOrigin < 0)
            figures.GroundOrigin = i;
    }

    for (qsizetype i = 0; i < count; ++i) {
        const TSiteTestPoint &typed = site.Points.at(i);
        TSitePointFigures &point = figures.Points[i];
        if (places[i])
            point.GpsPosition = LocalPlaneOffset(*places[figures.PositionOrigin], *places[i]);
        if (altitudes[i])
            point.GpsGround = *altitudes[i] - *altitudes[figures.GroundOrigin];
        point.Position = typed.TypedPosition ? typed.TypedPosition : point.GpsPosition;
        point.PositionSource = typed.TypedPosition ? TValueSource::Typed
                               : point.GpsPosition ? TValueSource::Gps
                                                   : TValueSource::None;
        point.Ground = typed.TypedGround ? typed.TypedGround : point.GpsGround;
        point.GroundSource = typed.TypedGround ? TValueSource::Typed
                             : point.GpsGround ? TValueSource::Gps
                                               : TValueSource::None;
        if (const TSitePointTest &test = tests.value(i); test.Test)
            evaluatePoint(point, test.Test->RoundedLog, site.BaseDepth);
    }

    figures.FarPoints = farPoints(figures.Points);

    for (qsizetype i = 0; i + 1 < count; ++i) {
        const TSitePointFigures &a = figures.Points.at(i);
        const TSitePointFigures &b = figures.Points.at(i + 1);
        TSitePairFigures pair;
        if (a.Position && b.Position) {
            const QPointF step = *b.Position - *a.Position;
            pair.Distance = std::hypot(step.x(), step.y());
        }
        const std::optional<double> levelA = a.SoftBottomLevel();
        const std::optional<double> levelB = b.SoftBottomLevel();
        if (levelA && levelB) {
            pair.BottomDifference = *levelB - *levelA;
            if (pair.Distance && *pair.Distance > 0)
                pair.SlopePermille = *pair.BottomDifference / *pair.Distance * 1000;
        }
        figures.Pairs.append(pair);
    }
    return figures;
}

void TSiteData::ReadTests(const TSetting &setting, const TReferenceTables &tables)
{
    Tests.clear();
    for (const TSiteTestPoint &point : Site.Points)
        Tests.append(ReadSitePointTest(point.File, setting, tables));
    Recompute();
}

void TSiteData::AddPoint(const QString &file, const TSetting &setting,
                         const TReferenceTables &tables)
{
    AddPoint(file, ReadSitePointTest(QFileInfo(file).absoluteFilePath(), setting, tables));
}

void TSiteData::AddPoint(const QString &file, TSitePointTest test)
{
    TSiteTestPoint point;
    point.File = QFileInfo(file).absoluteFilePath();
    point.Label = NextPointLabel(Site);
    Site.Points.append(point);
    Tests.append(std::move(test));
    Recompute();
}

void TSiteData::RemovePoint(qsizetype index)
{
    Site.Points.removeAt(index);
    Tests.removeAt(index);
    Recompute();
}

void TSiteData::MovePoint(qsizetype from, qsizetype to)
{
    Site.Points.move(from, to);
    Tests.move(from, to);
    Recompute();
}

QStringList TSiteData::TestProblems() const
{
    QStringList problems;
    for (qsizetype i = 0; i < Site.Points.size(); ++i) {
        if (!Tests.value(i).Test)
            problems.append(Site.Points.at(i).Label + QStringLiteral(": ") +
                            Tests.value(i).Problem);
    }
    return problems;
}

void TSiteData::RequireEveryTest() const
{
    const QStringList problems = TestProblems();
    if (!problems.isEmpty())
        throw ETessmarkError(problems.join(u'\n'));
}
