#include "sitesurveyfile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

namespace {

// The site's text keys and where they go; the order is the file's and `site info`'s.
struct TTextKey
{
    const char *Key;
    QString TSiteSurvey::*Field;
};
const TTextKey kSiteTexts[] = {
    {"client", &TSiteSurvey::Client},
    {"address", &TSiteSurvey::Address},
    {"company", &TSiteSurvey::Company},
    {"engineer", &TSiteSurvey::Engineer},
    {"building", &TSiteSurvey::Building},
    {"foundation", &TSiteSurvey::Foundation},
    {"equipment_name", &TSiteSurvey::EquipmentName},
    {"findings", &TSiteSurvey::Findings},
};

struct TPointTextKey
{
    const char *Key;
    QString TPointSurvey::*Field;
};
const TPointTextKey kPointTexts[] = {
    {"weather", &TPointSurvey::Weather},
    {"tester", &TPointSurvey::Tester},
    {"end_note", &TPointSurvey::EndNote},
    {"note", &TPointSurvey::Note},
};

QString quoted(const char *key)
{
    return u'"' + QLatin1String(key) + u'"';
}

void insertText(QJsonObject &object, const char *key, const QString &text)
{
    if (!text.isEmpty())
        object.insert(QLatin1String(key), text);
}

// Reads the keys of one object, each refusal naming the key under `prefix` ("測点 2 の ").
class TFieldReader
{
public:
    TFieldReader(const QJsonObject &object, const QString &prefix)
        : m_object(object), m_prefix(prefix)
    {}

    QString part(const char *key) const { return m_prefix + quoted(key); }
    [[noreturn]] void refuse(const char *key, const QString &why) const
    {
        throw ESiteFieldError(part(key), why);
    }
    QJsonValue value(const char *key) const { return m_object.value(QLatin1String(key)); }
    QString text(const char *key) const
    {
        const QJsonValue v = value(key);
        if (!v.isUndefined() && !v.isString())
            refuse(key, QStringLiteral("が文字列ではありません"));
        return v.toString();
    }
    // A word of `choices` (empty when absent), or the refusal listing them.
    template<typename T>
    T choice(const char *key, T unset, std::optional<T> (*ofKey)(const QString &),
             const char *words) const
    {
        const QJsonValue v = value(key);
        if (v.isUndefined())
            return unset;
        const std::optional<T> chosen = ofKey(v.toString());
        if (!v.isString() || !chosen)
            refuse(key, QStringLiteral("が %1 のどれでもありません").arg(QLatin1String(words)));
        return *chosen;
    }

private:
    QJsonObject m_object;
    QString m_prefix;
};

} // namespace

void WriteSiteSurvey(const TSiteSurvey &survey, QJsonObject &site)
{
    for (const TTextKey &key : kSiteTexts)
        insertText(site, key.Key, survey.*key.Field);
    insertText(site, "equipment", SurveyEquipmentKey(survey.Equipment));
    if (survey.ReportDate)
        site.insert(QLatin1String("report_date"), survey.ReportDate->toString(Qt::ISODate));
}

void WritePointSurvey(const TPointSurvey &survey, const QString &folder, QJsonObject &point)
{
    for (const TPointTextKey &key : kPointTexts)
        insertText(point, key.Key, survey.*key.Field);
    insertText(point, "end_reason", EndReasonKey(survey.EndReason));
    // Unmeasured is the absence of the key; a depth is kept to the millimetre like positions.
    if (survey.Water.Kind == TWaterLevelKind::Measured)
        point.insert(QLatin1String("water"), std::round(survey.Water.Depth * 1000) / 1000);
    else if (survey.Water.Kind == TWaterLevelKind::NotFound)
        point.insert(QLatin1String("water"), WaterLevelKey(survey.Water));
    if (survey.Photos.isEmpty())
        return;
    QJsonArray photos;
    for (const TSitePhoto &photo : survey.Photos) {
        // Relative like the tests, so the pictures move with the site's folder.
        QJsonObject object{{QLatin1String("file"), QDir(folder).relativeFilePath(photo.File)}};
        insertText(object, "caption", photo.Caption);
        photos.append(object);
    }
    point.insert(QLatin1String("photos"), photos);
}

TSiteSurvey ReadSiteSurvey(const QJsonObject &site)
{
    const TFieldReader reader(site, QString());
    TSiteSurvey survey;
    for (const TTextKey &key : kSiteTexts)
        survey.*key.Field = reader.text(key.Key);
    survey.Equipment = reader.choice("equipment", TSurveyEquipment::Unset, SurveyEquipmentOfKey,
                                     "\"manual\", \"semi-auto\", \"auto\"");
    const QJsonValue date = reader.value("report_date");
    if (!date.isUndefined()) {
        survey.ReportDate = ParseReportDate(date.toString());
        if (!date.isString() || !survey.ReportDate)
            reader.refuse("report_date", QStringLiteral("が YYYY-MM-DD の日付ではありません"));
    }
    return survey;
}

TPointSurvey ReadPointSurvey(const QJsonObject &point, const QString &folder,
                             const QString &pointPart)
{
    const TFieldReader reader(point, pointPart + QStringLiteral(" の "));
    TPointSurvey survey;
    for (const TPointTextKey &key : kPointTexts)
        survey.*key.Field = reader.text(key.Key);
    survey.EndReason = reader.choice("end_reason", TEndReason::Unset, EndReasonOfKey,
                                     "\"depth\", \"refusal\", \"obstacle\", \"other\"");

    const QJsonValue water = reader.value("water");
    if (water.isDouble()) {
        const double depth = water.toDouble();
        if (!std::isfinite(depth) || depth < 0 || depth > kMaxWaterDepth)
            reader.refuse("water", QStringLiteral("が 0～99.99 m ではありません"));
        survey.Water = {TWaterLevelKind::Measured, depth};
    } else if (!water.isUndefined()) {
        const std::optional<TWaterLevel> level = WaterLevelOfKey(water.toString());
        if (!water.isString() || !level)
            reader.refuse("water", QStringLiteral("が深さ (m)、\"none\"、\"unmeasured\" "
                                                  "のどれでもありません"));
        survey.Water = *level;
    }

    const QJsonValue photos = reader.value("photos");
    if (!photos.isUndefined() && !photos.isArray())
        reader.refuse("photos", QStringLiteral("が写真の並びではありません"));
    const QJsonArray list = photos.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString part = pointPart + QStringLiteral(" の写真 %1").arg(i + 1);
        if (!list.at(i).isObject())
            throw ESiteFieldError(part, QStringLiteral("が項目の組ではありません"));
        const TFieldReader photo(list.at(i).toObject(), part + QStringLiteral(" の "));
        const QString file = photo.text("file");
        if (file.isEmpty())
            photo.refuse("file", QStringLiteral("がありません"));
        survey.Photos.append(
            {QDir::cleanPath(QDir(folder).absoluteFilePath(file)), photo.text("caption")});
    }
    return survey;
}
