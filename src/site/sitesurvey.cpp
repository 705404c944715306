#include "sitesurvey.h"

#include "site.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <span>

namespace {

template<typename T> struct TChoice
{
    T Value;
    const char *Key;
    const char *Text;
};

const TChoice<TSurveyEquipment> kEquipment[] = {
    {TSurveyEquipment::Manual, "manual", "手動式"},
    {TSurveyEquipment::SemiAuto, "semi-auto", "半自動式"},
    {TSurveyEquipment::Auto, "auto", "全自動式"},
};

const TChoice<TEndReason> kEndReasons[] = {
    {TEndReason::Depth, "depth", "所定の深さ"},
    {TEndReason::Refusal, "refusal", "貫入不能（急激な貫入抵抗の増大）"},
    {TEndReason::Obstacle, "obstacle", "障害物"},
    {TEndReason::Other, "other", "その他"},
};

template<typename T> const TChoice<T> *choiceOf(std::span<const TChoice<T>> choices, T value)
{
    for (const TChoice<T> &choice : choices) {
        if (choice.Value == value)
            return &choice;
    }
    return nullptr;
}

template<typename T>
std::optional<T> valueOfKey(std::span<const TChoice<T>> choices, const QString &key)
{
    for (const TChoice<T> &choice : choices) {
        if (key == QLatin1String(choice.Key))
            return choice.Value;
    }
    return std::nullopt;
}

template<typename T> QString keyOf(std::span<const TChoice<T>> choices, T value)
{
    const TChoice<T> *choice = choiceOf(choices, value);
    return choice ? QString::fromLatin1(choice->Key) : QString();
}

template<typename T> QString textOf(std::span<const TChoice<T>> choices, T value)
{
    const TChoice<T> *choice = choiceOf(choices, value);
    return choice ? QString::fromUtf8(choice->Text) : QString();
}

const QString kWaterNotFound = QStringLiteral("none");
const QString kWaterUnmeasured = QStringLiteral("unmeasured");

} // namespace

QString SurveyEquipmentKey(TSurveyEquipment equipment)
{
    return keyOf<TSurveyEquipment>(kEquipment, equipment);
}

QString SurveyEquipmentText(TSurveyEquipment equipment)
{
    return textOf<TSurveyEquipment>(kEquipment, equipment);
}

std::optional<TSurveyEquipment> SurveyEquipmentOfKey(const QString &key)
{
    return valueOfKey<TSurveyEquipment>(kEquipment, key);
}

QString EndReasonKey(TEndReason reason)
{
    return keyOf<TEndReason>(kEndReasons, reason);
}

QString EndReasonText(TEndReason reason)
{
    return textOf<TEndReason>(kEndReasons, reason);
}

std::optional<TEndReason> EndReasonOfKey(const QString &key)
{
    return valueOfKey<TEndReason>(kEndReasons, key);
}

std::optional<double> ParseWaterDepth(const QString &text)
{
    const std::optional<double> metres = ParseSiteMetres(text);
    if (!metres || *metres < 0 || *metres > kMaxWaterDepth)
        return std::nullopt;
    return *metres;
}

QString WaterLevelKey(const TWaterLevel &water)
{
    switch (water.Kind) {
    case TWaterLevelKind::Measured:
        return SiteMetresText(water.Depth);
    case TWaterLevelKind::NotFound:
        return kWaterNotFound;
    case TWaterLevelKind::Unmeasured:
        break;
    }
    return kWaterUnmeasured;
}

std::optional<TWaterLevel> WaterLevelOfKey(const QString &key)
{
    if (key == kWaterNotFound)
        return TWaterLevel{TWaterLevelKind::NotFound, 0};
    if (key == kWaterUnmeasured)
        return TWaterLevel{};
    if (const std::optional<double> depth = ParseWaterDepth(key))
        return TWaterLevel{TWaterLevelKind::Measured, *depth};
    return std::nullopt;
}

QString WaterLevelText(const TWaterLevel &water)
{
    switch (water.Kind) {
    case TWaterLevelKind::Measured:
        return SiteMetresText(water.Depth) + QStringLiteral(" m");
    case TWaterLevelKind::NotFound:
        return QStringLiteral("確認されず");
    case TWaterLevelKind::Unmeasured:
        break;
    }
    return QStringLiteral("未測定");
}

std::optional<QDate> ParseReportDate(const QString &text)
{
    // Exactly YYYY-MM-DD: "2026-3-1" or a time of day would be guesses.
    const QString trimmed = text.trimmed();
    if (trimmed.size() != 10)
        return std::nullopt;
    const QDate date = QDate::fromString(trimmed, QStringLiteral("yyyy-MM-dd"));
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

QString PhotoProblem(const QString &file)
{
    const QString shown = QDir::toNativeSeparators(file);
    const QFileInfo info(file);
    if (!info.exists())
        return QStringLiteral("写真 %1 がありません").arg(shown);
    // A pipe or a device named like a picture would block the read below.
    if (!info.isFile())
        return QStringLiteral("写真 %1 は通常のファイルではありません").arg(shown);
    QFile photo(file);
    if (!photo.open(QIODevice::ReadOnly))
        return QStringLiteral("写真 %1 を読めません: %2").arg(shown, photo.errorString());
    const QByteArray head = photo.read(8);
    if (!head.startsWith("\xFF\xD8\xFF") && !head.startsWith("\x89PNG\r\n\x1A\n"))
        return QStringLiteral("写真 %1 は JPEG か PNG の画像ではありません").arg(shown);
    return {};
}

void AddPointPhoto(TPointSurvey &survey, const TSitePhoto &photo)
{
    for (TSitePhoto &present : survey.Photos) {
        if (QFileInfo(present.File) == QFileInfo(photo.File)) {
            present.Caption = photo.Caption;
            return;
        }
    }
    survey.Photos.append(photo);
}
