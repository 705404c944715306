// Rows typed by hand, in the grid or read back from a manual-input (.kmd) file: the one rule that
// tells which of them sank under the load alone.
#pragma once

#include "errors.h"
#include "record.h"

#include <QStringView>
#include <optional>

// A typed row sank by itself when no half-turns were typed or its load is below 1.00 kN: the rod
// is turned only under the full load. `loadHundredths` is the load in hundredths of a kN.
bool TypedRowSelfSinks(double loadHundredths, QStringView halfTurns);

// Writes "自沈" into the half-turns of every such row of rows 1..Count. Raises EConvertError on a
// load text that is not a number.
void MarkTypedSelfSinking(Tkannyu &log);

// The value of a typed row that a refusal names.
enum class TTypedField { Depth, Load, HalfTurns };

// A typed value the test cannot take; Row (counted from 1) and Field say where.
class ETypedRowError : public ETessmarkError
{
public:
    ETypedRowError(int row, TTypedField field, const QString &message)
        : ETessmarkError(message), Row(row), Field(field)
    {}
    int Row;
    TTypedField Field;
};

// The one check of a typed row, whether typed in the grid or read from a manual-input file:
// raises ETypedRowError for a depth outside 0..9999 cm or above `previousDepthCm` (equal depths
// are a step of no length), a load outside 0..999 hundredths of a kN or with more than two
// decimals in kN, or half-turns that are neither "自沈" nor a number from 0 to below 1000.
// Depth and load are the numbers the texts hold (none when they hold none: the caller reports
// that in its own words); a depth is in whole centimetres. `previousDepthCm` becomes this
// row's depth.
void CheckTypedRow(int row, std::optional<double> depthCm, std::optional<double> loadHundredths,
                   QStringView halfTurns, double &previousDepthCm);

// Every row 1..Count of a log of typed rows (Depth in cm, Wsw in hundredths of a kN).
void CheckTypedLog(const Tkannyu &log);
