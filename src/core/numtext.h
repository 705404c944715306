// Fixed-point number texts built without a formatted print: every row of a large test shows and
// saves several numbers, and a printf round trip per number costs more than the rest of the row.
#pragma once

#include <QString>

// Appends `scaled` / 10^decimals with exactly `decimals` digits after the point ("-1.05").
void AppendScaled(QString &out, qint64 scaled, int decimals);

// The text of AppendScaled. Small whole numbers and tenths, which most rows show, come from a
// shared table instead of a new allocation each.
QString ScaledText(qint64 scaled, int decimals);

// True when value is the double nearest to scaled / 10^decimals (decimals 0..3), with scaled
// small enough to stay exact: "%.<decimals>f" then shows exactly the digits of AppendScaled.
bool ExactScaled(double value, int decimals, qint64 &scaled);

// Appends the text "%.<decimals>f" gives for value (decimals 0..3). Values that are exact
// multiples of the last digit take the fast way; any other value goes through the print.
void AppendFixed(QString &out, double value, int decimals);

// The text "%.<decimals>f" gives for value (decimals 0..3).
QString FixedText(double value, int decimals);
