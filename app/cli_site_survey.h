// The survey's particulars on the command line: `site info` prints and sets the site's, `site
// set` takes the options of a point's.
#pragma once

#include "sitesurvey.h"

#include <QList>
#include <QString>
#include <utility>

class QIODevice;
class QTextStream;
struct TSite;

// An option and its value as given, in the order given.
using TSurveyEdits = QList<std::pair<QString, QString>>;

// True for the options of `site info` (--client, …) and of `site set` (--weather, …) that take
// a value.
bool IsSiteInfoOption(const QString &option);
bool IsPointSurveyOption(const QString &option);

// Apply the edits, or raise ETessmarkError naming the field and the option of the first value
// that cannot be taken (nothing is changed then). "--findings -" reads the findings from
// `input` (standard input; none: refused).
void ApplySiteInfo(TSiteSurvey &survey, const TSurveyEdits &edits, QIODevice *input);
// With `noPhotos`, the point's photos are dropped before the edits add any. A photo is named
// relative to the working folder.
void ApplyPointSurvey(TPointSurvey &survey, const TSurveyEdits &edits, bool noPhotos);

// `site info` without options: one "key<TAB>value" line per field, the keys the option names,
// line breaks, tabs and backslashes written \n, \t and \\ as --findings reads them.
void PrintSiteInfo(const TSite &site, QTextStream &out);
