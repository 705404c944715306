#include "sitefile.h"

#include "boundedread.h"
#include "reader.h"
#include "safewrite.h"
#include "sitesurveyfile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

// What the first key of every site file says, so another JSON document is not taken for one.
const QString kFormatName = QStringLiteral("Tessmark site");

// Positions and levels are kept to the millimetre: enough for a plan, and no binary noise
// ("1.5000000000000002") in a file people read.
double millimetres(double metres)
{
    return std::round(metres * 1000) / 1000;
}

QJsonArray pointArray(const QPointF &point)
{
    return {millimetres(point.x()), millimetres(point.y())};
}

// Reads one document, each refusal naming the part of it.
class TSiteReader
{
public:
    TSiteReader(const QString &folder, const QString &fileName)
        : m_folder(folder), m_fileName(fileName)
    {}

    TSite read(const QByteArray &document);
    [[noreturn]] void refuse(const QString &part, const QString &why) const
    {
        throw ESiteFileError(
            QStringLiteral("現場ファイル %1 を読めません: %2 %3").arg(m_fileName, part, why));
    }

private:
    double number(const QJsonValue &value, const QString &part) const
    {
        if (!value.isDouble() || !std::isfinite(value.toDouble()))
            refuse(part, QStringLiteral("が数値ではありません"));
        return value.toDouble();
    }
    // A length in metres, within what the table and the command line take: a hand-edited
    // 1e308 would give figures of hundreds of digits and drawings without a scale.
    double metres(const QJsonValue &value, const QString &part) const
    {
        const double read = number(value, part);
        if (!SiteMetresFit(read))
            refuse(part, QStringLiteral("が ±%1 m を超えています")
                             .arg(QString::number(kMaxSiteMetres, 'f', 2)));
        return read;
    }
    QPointF pair(const QJsonValue &value, const QString &part) const
    {
        const QJsonArray array = value.toArray();
        if (!value.isArray() || array.size() != 2)
            refuse(part, QStringLiteral("が [x, y] ではありません"));
        return {metres(array.at(0), part + QStringLiteral(" の x")),
                metres(array.at(1), part + QStringLiteral(" の y"))};
    }
    TSiteTestPoint point(const QJsonValue &value, qsizetype index) const;
    void requireUniqueLabels(const QList<TSiteTestPoint> &points) const;

    QString m_folder;
    QString m_fileName;
};

TSiteTestPoint TSiteReader::point(const QJsonValue &value, qsizetype index) const
{
    const QString part = QStringLiteral("測点 %1").arg(index + 1);
    if (!value.isObject())
        refuse(part, QStringLiteral("が項目の組ではありません"));
    const QJsonObject object = value.toObject();
    TSiteTestPoint point;
    const QJsonValue file = object.value(QLatin1String("file"));
    if (!file.isString() || file.toString().isEmpty())
        refuse(part + QStringLiteral(" の \"file\""), QStringLiteral("がありません"));
    point.FileAsNamed = file.toString();
    point.File = QDir::cleanPath(QDir(m_folder).absoluteFilePath(point.FileAsNamed));
    const QJsonValue label = object.value(QLatin1String("label"));
    if (label.isUndefined())
        point.Label = DefaultPointLabel(index);
    else if (!label.isString())
        refuse(part + QStringLiteral(" の \"label\""), QStringLiteral("が文字列ではありません"));
    else if (label.toString().trimmed().isEmpty())
        refuse(part + QStringLiteral(" の \"label\""), QStringLiteral("が空です"));
    else
        point.Label = label.toString();
    const QJsonValue x = object.value(QLatin1String("x"));
    const QJsonValue y = object.value(QLatin1String("y"));
    if (x.isUndefined() != y.isUndefined())
        refuse(part + QStringLiteral(" の \"x\" と \"y\""), QStringLiteral("の片方しかありません"));
    if (!x.isUndefined())
        point.TypedPosition = QPointF(metres(x, part + QStringLiteral(" の \"x\"")),
                                      metres(y, part + QStringLiteral(" の \"y\"")));
    const QJsonValue ground = object.value(QLatin1String("ground"));
    if (!ground.isUndefined())
        point.TypedGround = metres(ground, part + QStringLiteral(" の \"ground\""));
    point.Survey = ReadPointSurvey(object, m_folder, part);
    return point;
}

// Two points of one label could be told apart by no command that names a point by its label.
void TSiteReader::requireUniqueLabels(const QList<TSiteTestPoint> &points) const
{
    TSite earlier;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QString &label = points.at(i).Label;
        const qsizetype same = FindPointLabel(earlier, label);
        if (same >= 0)
            refuse(QStringLiteral("測点 %1 の \"label\" 「%2」").arg(i + 1).arg(label),
                   QStringLiteral("は測点 %1 と同じです").arg(same + 1));
        earlier.Points.append(points.at(i));
    }
}

TSite TSiteReader::read(const QByteArray &document)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(document, &error);
    if (error.error != QJsonParseError::NoError)
        refuse(QStringLiteral("%1 バイト目").arg(error.offset + 1),
               QStringLiteral("で JSON が壊れています（%1）").arg(error.errorString()));
    const QJsonObject root = json.object();
    if (!json.isObject() || root.value(QLatin1String("format")).toString() != kFormatName)
        refuse(QStringLiteral("\"format\""),
               QStringLiteral("が \"%1\" ではありません（現場ファイルではありません）")
                   .arg(kFormatName));
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble()) ||
        version.toDouble() < 1)
        refuse(QStringLiteral("\"version\""), QStringLiteral("が版の番号ではありません"));
    if (version.toDouble() > kSiteFileVersion)
        refuse(QStringLiteral("\"version\""),
               QStringLiteral("が %1 です。この版のTessmarkは %2 までを読めます")
                   .arg(version.toInt())
                   .arg(kSiteFileVersion));

    TSite site;
    const QJsonValue name = root.value(QLatin1String("name"));
    if (!name.isUndefined() && !name.isString())
        refuse(QStringLiteral("\"name\""), QStringLiteral("が文字列ではありません"));
    site.Name = name.toString();
    site.Survey = ReadSiteSurvey(root);
    const QJsonValue base = root.value(QLatin1String("base_depth"));
    if (!base.isUndefined()) {
        const double metres = number(base, QStringLiteral("\"base_depth\""));
        if (metres < 0 || metres > 99.99)
            refuse(QStringLiteral("\"base_depth\""),
                   QStringLiteral("が 0～99.99 m ではありません"));
        site.BaseDepth = int(std::lround(metres * 100));
    }
    const QJsonValue points = root.value(QLatin1String("points"));
    if (!points.isUndefined() && !points.isArray())
        refuse(QStringLiteral("\"points\""), QStringLiteral("が測点の並びではありません"));
    const QJsonArray pointList = points.toArray();
    for (qsizetype i = 0; i < pointList.size(); ++i)
        site.Points.append(point(pointList.at(i), i));
    requireUniqueLabels(site.Points);
    const QJsonValue outline = root.value(QLatin1String("outline"));
    if (!outline.isUndefined() && !outline.isArray())
        refuse(QStringLiteral("\"outline\""), QStringLiteral("が頂点の並びではありません"));
    const QJsonArray corners = outline.toArray();
    for (qsizetype i = 0; i < corners.size(); ++i)
        site.Outline.append(pair(corners.at(i), QStringLiteral("建物外形の頂点 %1").arg(i + 1)));
    if (!site.Outline.isEmpty() && site.Outline.size() < 3)
        refuse(QStringLiteral("\"outline\""), QStringLiteral("の頂点が3つより少なくなっています"));
    return site;
}

} // namespace

QString SiteFileReference(const TSiteTestPoint &point, const QString &folder)
{
    const QDir dir(folder);
    if (!point.FileAsNamed.isEmpty() &&
        QDir::cleanPath(dir.absoluteFilePath(point.FileAsNamed)) == point.File)
        return point.FileAsNamed;
    // Relative, so the site and its tests can move together to another folder or machine.
    return dir.relativeFilePath(point.File);
}

bool IsSiteFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(kSiteFileSuffix, Qt::CaseInsensitive) == 0;
}

QByteArray SiteDocument(const TSite &site, const QString &folder)
{
    QJsonObject root;
    root.insert(QLatin1String("format"), kFormatName);
    root.insert(QLatin1String("version"), kSiteFileVersion);
    root.insert(QLatin1String("name"), site.Name);
    root.insert(QLatin1String("base_depth"), site.BaseDepth / 100.0);
    WriteSiteSurvey(site.Survey, root);
    QJsonArray points;
    for (const TSiteTestPoint &point : site.Points) {
        QJsonObject object;
        object.insert(QLatin1String("file"), SiteFileReference(point, folder));
        object.insert(QLatin1String("label"), point.Label);
        if (point.TypedPosition) {
            object.insert(QLatin1String("x"), millimetres(point.TypedPosition->x()));
            object.insert(QLatin1String("y"), millimetres(point.TypedPosition->y()));
        }
        if (point.TypedGround)
            object.insert(QLatin1String("ground"), millimetres(*point.TypedGround));
        WritePointSurvey(point.Survey, folder, object);
        points.append(object);
    }
    root.insert(QLatin1String("points"), points);
    if (!site.Outline.isEmpty()) {
        QJsonArray outline;
        for (const QPointF &corner : site.Outline)
            outline.append(pointArray(corner));
        root.insert(QLatin1String("outline"), outline);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

TSite ParseSiteDocument(const QByteArray &document, const QString &folder, const QString &fileName)
{
    TSiteReader reader(folder, fileName);
    try {
        return reader.read(document);
    } catch (const ESiteFieldError &e) {
        reader.refuse(e.Part, e.Why);
    }
}

TSite ReadSiteFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QByteArray bytes;
    try {
        // Read as the tests are, so a pipe or a device named like a site cannot block.
        bytes = ReadWholeFile(path, kMaxDataFileBytes);
    } catch (const EFileRefused &e) {
        throw ESiteFileError(
            e.reason() == EFileRefused::Unreadable
                ? QStringLiteral("現場ファイル %1 を開けません: %2").arg(shown, e.message())
                : QStringLiteral("現場ファイル %1").arg(e.message()));
    }
    return ParseSiteDocument(bytes, QFileInfo(path).absolutePath(), shown);
}

TSiteData ReadSiteWithTests(const QString &path, const TSetting &setting,
                            const TReferenceTables &tables)
{
    TSiteData data;
    data.Site = ReadSiteFile(path);
    data.ReadTests(setting, tables);
    return data;
}

void WriteSiteFile(const TSite &site, const QString &path)
{
    WriteFileAtomically(path, SiteDocument(site, QFileInfo(path).absolutePath()));
}
