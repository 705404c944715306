#include "surveytexts.h"

#include "bearing.h"
#include "site.h"

#include <algorithm>

QString JapaneseDate(const QDate &date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QDate TestDate(const TTestInfo &info)
{
    return QDate(info.fullYear(), info.Month, info.Day);
}

QString SurveyDatesText(const TSiteData &data)
{
    QDate first;
    QDate last;
    for (const TSitePointTest &test : data.Tests) {
        if (!test.Test)
            continue;
        const QDate date = TestDate(test.Test->NormalLog.info());
        if (!date.isValid())
            continue;
        first = first.isValid() ? std::min(first, date) : date;
        last = last.isValid() ? std::max(last, date) : date;
    }
    if (first == last)
        return JapaneseDate(first);
    return JapaneseDate(first) + u'～' + JapaneseDate(last);
}

QString ReportDateText(const TSiteSurvey &survey, const QDate &today)
{
    return JapaneseDate(survey.ReportDate.value_or(today));
}

QString EquipmentText(const TSiteSurvey &survey)
{
    QString kind;
    switch (survey.Equipment) {
    case TSurveyEquipment::Manual:
        kind = QStringLiteral("手動式");
        break;
    case TSurveyEquipment::SemiAuto:
        kind = QStringLiteral("半自動式");
        break;
    case TSurveyEquipment::Auto:
        kind = QStringLiteral("全自動式");
        break;
    case TSurveyEquipment::Unset:
        return survey.EquipmentName;
    }
    return survey.EquipmentName.isEmpty() ? kind : kind + u'（' + survey.EquipmentName + u'）';
}

QString WaterLevelText(const TWaterLevel &water)
{
    switch (water.Kind) {
    case TWaterLevelKind::Measured:
        return QStringLiteral("GL-%1 m").arg(MetresText(qRound(water.Depth * 100)));
    case TWaterLevelKind::NotFound:
        return QStringLiteral("確認されず");
    case TWaterLevelKind::Unmeasured:
        break;
    }
    return QStringLiteral("未測定");
}

QString EndReasonText(const TPointSurvey &survey)
{
    QString reason;
    switch (survey.EndReason) {
    case TEndReason::Depth:
        reason = QStringLiteral("所定の深さ");
        break;
    case TEndReason::Refusal:
        reason = QStringLiteral("貫入不能（急激な貫入抵抗の増大）");
        break;
    case TEndReason::Obstacle:
        reason = QStringLiteral("障害物");
        break;
    case TEndReason::Other:
        reason = QStringLiteral("その他");
        break;
    case TEndReason::Unset:
        break;
    }
    if (survey.EndNote.isEmpty())
        return reason;
    return reason.isEmpty() ? survey.EndNote : reason + QStringLiteral("：") + survey.EndNote;
}

QString OrDash(const QString &text)
{
    return text.trimmed().isEmpty() ? QStringLiteral("－") : text;
}

QString SurveyMethodText()
{
    return QStringLiteral("JIS A 1221:2020 スクリューウエイト貫入試験");
}
