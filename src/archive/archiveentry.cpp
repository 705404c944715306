#include "archiveentry.h"

#include "bearing.h"
#include "boundedread.h"
#include "presentation.h"
#include "reader.h"
#include "safewrite.h"
#include "settings.h"
#include "site.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTime>
#include <cmath>

namespace {

QString testedAtOf(const TTestInfo &info)
{
    const QDate date(info.fullYear(), info.Month, info.Day);
    if (!date.isValid())
        return {};
    const QTime time(info.StartHour, info.StartMin);
    return date.toString(Qt::ISODate) + u' ' +
           (time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QStringLiteral("00:00"));
}

} // namespace

TArchiveFigures ArchiveFiguresOf(const TSoundingTest &test, const TSetting &setting)
{
    TArchiveFigures f;
    const TTestInfo &info = test.NormalLog.info();
    f.Code =
        QString::asprintf("%.3d-%.3d-%.3d-%.4d", info.Code1, info.Code2, info.Code3, info.Code4);
    f.Point = info.PointNo;
    f.TestedAt = testedAtOf(info);
    f.EndTime = QString::asprintf("%.2d:%.2d", info.EndHour, info.EndMin);
    f.FinalDepth = info.FinalDepth;
    QStringList problems;
    try {
        if (const std::optional<TGeoPosition> position = ReadGpsPosition(test.TestGps))
            f.Position = position;
    } catch (const EConvertError &e) {
        problems.append(e.message());
    }

    // The same figures a site shows for a point at the remembered base depth.
    TSite site;
    site.BaseDepth = ParseBaseDepth(setting.BaseDepth).value_or(kDefaultBaseDepthCm);
    site.Points.append(TSiteTestPoint{});
    const TSiteFigures figures = ComputeSiteFigures(site, {TSitePointTest{test, {}}});
    const TSitePointFigures &point = figures.Points.first();
    f.BaseDepth = site.BaseDepth;
    if (point.Result) {
        if (point.Result->Covered) {
            f.MeanNswTenths = point.Result->MeanNswTenths;
            f.QaTenths = point.Result->QaTenths;
        }
        f.UpperSinking = point.UpperThickness;
        f.LowerSinking = point.LowerThickness;
    } else {
        // Only the evaluation's problems: the GPS record's are told above.
        for (const QString &problem : point.Problems)
            if (!problems.contains(problem))
                problems.append(problem);
    }
    f.Problem = problems.join(u'\n');
    return f;
}

TArchiveEntry ArchiveEntryOf(const QByteArray &bytes, const QString &path, const TSetting &setting,
                             const TReferenceTables &tables)
{
    return ArchiveEntryOf(bytes, path,
                          ArchiveFiguresOf(OpenTestBytes(bytes, path, setting, tables), setting));
}

TArchiveEntry ArchiveEntryOf(const QByteArray &bytes, const QString &path,
                             const TArchiveFigures &figures)
{
    const QFileInfo file(path);
    TArchiveEntry entry;
    entry.Hash = ArchiveHash(bytes);
    entry.FileName = file.fileName();
    entry.Folder = QDir::toNativeSeparators(file.absolutePath());
    entry.Figures = figures;
    return entry;
}

TArchiveAdded ArchiveTestFile(TCatalogue &catalogue, const QString &path, const TSetting &setting,
                              const TReferenceTables &tables)
{
    if (!IsReadableDataFile(path))
        throw EDataFileError(EDataFileError::UnsupportedType,
                             QStringLiteral("%1: このファイルタイプには対応していません")
                                 .arg(QDir::toNativeSeparators(path)));
    QByteArray bytes;
    try {
        bytes = ReadWholeFile(path, kMaxDataFileBytes);
    } catch (const EFileRefused &e) {
        throw EDataFileError(
            EDataFileError::ReadFailed,
            e.message().contains(QFileInfo(path).fileName())
                ? e.message()
                : QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), e.message()));
    }
    TArchiveEntry entry;
    try {
        entry = ArchiveEntryOf(bytes, path, setting, tables);
    } catch (const EDataFileError &e) {
        // The reader's plain texts ("ファイルエラー") do not say which file.
        if (e.message().contains(QFileInfo(path).fileName()))
            throw;
        throw EDataFileError(
            e.reason(), QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), e.message()));
    }
    return catalogue.Add(entry, bytes);
}

qint64 RefreshArchive(TCatalogue &catalogue, const TSetting &setting,
                      const TReferenceTables &tables,
                      const std::function<void(qint64, qint64)> &progress)
{
    return catalogue.Refresh(
        [&](const QByteArray &bytes, const QString &fileName) -> std::optional<TArchiveFigures> {
            try {
                return ArchiveFiguresOf(OpenTestBytes(bytes, fileName, setting, tables), setting);
            } catch (const ETessmarkError &) {
                // Bytes that no longer read under changed rules keep the figures they had.
                return std::nullopt;
            }
        },
        progress);
}

QList<TArchiveHit> NearbyArchivedTests(TCatalogue &catalogue, const TSiteData &data, double radius)
{
    const std::optional<TGeoPosition> place = SitePlace(data);
    if (!place)
        return {};
    QSet<QString> own;
    for (const TSiteTestPoint &point : data.Site.Points) {
        try {
            own.insert(ArchiveHash(ReadWholeFile(point.File, kMaxDataFileBytes)));
        } catch (const ETessmarkError &) {
            // A point whose file cannot be read has no bytes to match.
        }
    }
    TArchiveQuery query;
    query.Near = place;
    query.Radius = radius;
    QList<TArchiveHit> hits = catalogue.Find(query);
    hits.removeIf([&](const TArchiveHit &hit) { return own.contains(hit.Entry.Hash); });
    return hits;
}

namespace {

// No hits, and why when the site has no place to look around.
TNearbyTests nearbyWithoutPlace(const TSiteData &data, int radius)
{
    TNearbyTests nearby;
    nearby.Radius = radius;
    if (!SitePlace(data))
        nearby.Problem =
            QStringLiteral("現場の試験にGPSの位置がないため、近くの試験を探せませんでした。");
    return nearby;
}

} // namespace

TNearbyTests NearbyTestsUnreachable(const QString &problem, int radius)
{
    TNearbyTests nearby;
    nearby.Radius = radius;
    nearby.Problem =
        QStringLiteral("試験アーカイブを開けないため、近くの試験を探せませんでした。") +
        QString(problem).replace(u'\r', u' ');
    return nearby;
}

TNearbyTests FindNearbyTests(TCatalogue &catalogue, const TSiteData &data, int radius)
{
    TNearbyTests nearby = nearbyWithoutPlace(data, radius);
    if (nearby.Problem.isEmpty())
        nearby.Hits = NearbyArchivedTests(catalogue, data, radius);
    return nearby;
}

TNearbyTests FindNearbyTests(const TCatalogueLocation &location, const TSiteData &data, int radius)
{
    const TNearbyTests nearby = nearbyWithoutPlace(data, radius);
    if (!nearby.Problem.isEmpty() ||
        (location.Backend == TCatalogueLocation::Sqlite && !QFileInfo::exists(location.Path)))
        return nearby;
    try {
        TCatalogue catalogue(location);
        return FindNearbyTests(catalogue, data, radius);
    } catch (const ECatalogueError &e) {
        return NearbyTestsUnreachable(e.message(), radius);
    }
}

QString ArchiveMetresText(const std::optional<int> &cm)
{
    return cm ? MetresText(*cm) : QStringLiteral("-");
}

QString ArchiveTenthsText(const std::optional<int> &tenths)
{
    return tenths ? TenthsText(*tenths) : QStringLiteral("-");
}

QString ArchivedPath(const TArchiveEntry &entry)
{
    return QDir(QDir::fromNativeSeparators(entry.Folder)).filePath(entry.FileName);
}

bool ArchivedFileIsIntact(const TArchiveEntry &entry)
{
    try {
        return ArchiveHash(ReadWholeFile(ArchivedPath(entry), kMaxDataFileBytes)) == entry.Hash;
    } catch (const ETessmarkError &) {
        return false;
    }
}

QString ArchivedFileToOpen(TCatalogue &catalogue, const TArchiveEntry &entry,
                           const QString &restoreFolder)
{
    if (ArchivedFileIsIntact(entry))
        return ArchivedPath(entry);
    // One folder per entry: two entries added under one name never meet.
    const QDir folder(QDir(restoreFolder).filePath(QString::number(entry.Id)));
    if (!folder.mkpath(QStringLiteral(".")))
        throw ECantWriteFile(QStringLiteral("データを保存できません\r%1: フォルダーを作れません")
                                 .arg(QDir::toNativeSeparators(folder.path())));
    const QString path = folder.filePath(QFileInfo(entry.FileName).fileName());
    WriteFileAtomically(path, catalogue.Bytes(entry.Id));
    return path;
}

std::optional<TGeoPosition> SitePlace(const TSiteData &data)
{
    std::optional<TGeoPosition> first;
    double latitude = 0;
    double longitude = 0;
    int count = 0;
    for (const TSitePointTest &point : data.Tests) {
        if (!point.Test)
            continue;
        std::optional<TGeoPosition> place;
        try {
            place = ReadGpsPosition(point.Test->TestGps);
        } catch (const EConvertError &) {
        }
        if (!place)
            continue;
        if (!first)
            first = place;
        // Measured from the first, so a site on the date line is not averaged to the far side.
        double east = place->Longitude - first->Longitude;
        east -= 360 * std::round(east / 360);
        latitude += place->Latitude;
        longitude += east;
        ++count;
    }
    if (!count)
        return std::nullopt;
    TGeoPosition middle{latitude / count, first->Longitude + longitude / count};
    middle.Longitude -= 360 * std::round(middle.Longitude / 360);
    return middle;
}
