// How the survey report writes the site's and the points' particulars.
#pragma once

#include "sitesurvey.h"

#include <QDate>
#include <QString>

struct TSiteData;
struct TTestInfo;

// "2024年5月17日"; empty for an invalid date.
QString JapaneseDate(const QDate &date);
// The day a test was made, from its header; invalid when the header holds no date.
QDate TestDate(const TTestInfo &info);
// The days of the site's tests, first to last: "2024年5月17日～2024年5月20日", one day alone,
// or empty.
QString SurveyDatesText(const TSiteData &data);
// The report date: the site's, else `today`.
QString ReportDateText(const TSiteSurvey &survey, const QDate &today);
// "全自動式（VT-200）", "手動式", the model name alone, or empty.
QString EquipmentText(const TSiteSurvey &survey);
// Why the test ended ("所定の深さ", …) with the note after it; empty when neither is given.
QString EndOfTestText(const TPointSurvey &survey);
// The text, or "－" when it is empty.
QString OrDash(const QString &text);
// The method as the report names it.
QString SurveyMethodText();
