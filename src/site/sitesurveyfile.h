// The survey's particulars in the site file: the site's keys beside its name, each point's
// beside its file; only what is set is written.
#pragma once

#include "errors.h"
#include "sitesurvey.h"

class QJsonObject;
class QString;

// A survey key of the site file that cannot be taken: which one (`Part`, e.g. `測点 2 の
// "water"`) and why (`Why`, e.g. "が 0～99.99 m ではありません"), for the reader's message.
class ESiteFieldError : public ETessmarkError
{
public:
    ESiteFieldError(const QString &part, const QString &why)
        : ETessmarkError(part + u' ' + why), Part(part), Why(why)
    {}
    QString Part;
    QString Why;
};

void WriteSiteSurvey(const TSiteSurvey &survey, QJsonObject &site);
// Photos are written relative to `folder` (the site file's).
void WritePointSurvey(const TPointSurvey &survey, const QString &folder, QJsonObject &point);

// Raise ESiteFieldError. `point` names the point in messages ("測点 2"); photos are made
// absolute against `folder`.
TSiteSurvey ReadSiteSurvey(const QJsonObject &site);
TPointSurvey ReadPointSurvey(const QJsonObject &point, const QString &folder,
                             const QString &pointPart);
