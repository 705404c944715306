// Transfer files for site tests: rows every 25 cm from 0.25 m, self-sinking where asked, and a
// GPS line, so figures can be worked out by hand.
#pragma once

#include "sandbox.h"

#include <QList>
#include <QString>

struct TSinkingSpan
{
    int From = 0; // cm: the rows deeper than this …
    int To = 0;   // … down to this one sink
    QString Load; // "050"
};

struct TSiteTestShape
{
    int FinalDepth = 600; // cm
    QList<TSinkingSpan> Sinking;
    // The fields of the "$G(" line after the status, e.g. "35.6812 N 139.7671 E 40 m"; empty:
    // the record says no position was taken.
    QString Gps;
    // The whole "$G(" line in place of the one Gps makes, when not empty.
    QString GpsLine = {};
};

// Writes `name` into the sandbox (a .ktd transfer file) and answers its path.
QString WriteSiteTest(const TestSandbox &sandbox, const QString &name, const TSiteTestShape &shape);
