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
    const QString kind = SurveyEquipmentText(survey.Equipment);
    if (kind.isEmpty() || survey.EquipmentName.isEmpty())
        return kind + survey.EquipmentName;
    return kind + u'（' + survey.EquipmentName + u'）';
}

QString EndOfTestText(const TPointSurvey &survey)
{
    const QString reason = EndReasonText(survey.EndReason);
    if (reason.isEmpty() || survey.EndNote.isEmpty())
        return reason + survey.EndNote;
    return reason + QStringLiteral("：") + survey.EndNote;
}

QString OrDash(const QString &text)
{
    return text.trimmed().isEmpty() ? QStringLiteral("－") : text;
}

QString SurveyMethodText()
{
    return QStringLiteral("JIS A 1221:2020 スクリューウエイト貫入試験");
}
