// Number pictures for showing cell texts as formatted numbers ("0.00", "#,##0", "0.0E+00").
#pragma once

#include <QString>

// Formats `value` with a number picture:
//   0      a digit that is always shown
//   #      a digit shown only when significant
//   .      the decimal point (shown only when decimals follow)
//   ,      anywhere in the picture: thousands separators in the integer part
//   E+ E-  scientific notation; the zeros after it give the least number of exponent digits,
//          E+ always shows the exponent's sign, E- only a minus
//   "x" 'x' quoted text copied as it stands; other characters are copied as well
// Up to three sections separated by ';' are used for positive, negative and zero values. The
// negative section shows the value without sign; without one, the positive section is used with a
// leading minus. The zero section applies when the value rounds to zero. Rounding is to the
// picture's decimals, halves away from zero, on the value's 15 significant digits (so a text such
// as 1.005 rounds as written).
QString FormatFloat(const QString &picture, double value);

// Reads a cell text as a decimal number (blanks around it allowed, an exponent allowed, no
// thousands separators, no infinities). Answers false when the text is not such a number.
bool CellTextToFloat(const QString &text, double &value);
