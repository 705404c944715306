// Rows typed by hand, in the grid or read back from a manual-input (.kmd) file: the one rule that
// tells which of them sank under the load alone.
#pragma once

#include "record.h"

#include <QStringView>

// A typed row sank by itself when no half-turns were typed or its load is below 1.00 kN: the rod
// is turned only under the full load. `loadHundredths` is the load in hundredths of a kN.
bool TypedRowSelfSinks(double loadHundredths, QStringView halfTurns);

// Writes "自沈" into the half-turns of every such row of rows 1..Count. Raises EConvertError on a
// load text that is not a number.
void MarkTypedSelfSinking(Tkannyu &log);
