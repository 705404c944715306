#include "typedrows.h"

#include "errors.h"

namespace {

constexpr double kFullLoadHundredths = 100;

} // namespace

bool TypedRowSelfSinks(double loadHundredths, QStringView halfTurns)
{
    return loadHundredths < kFullLoadHundredths || halfTurns.isEmpty();
}

void MarkTypedSelfSinking(Tkannyu &log)
{
    for (int i = 1; i <= log.Count; ++i) {
        Tvt_data &row = log.row(i);
        if (row.Na != kSelfSinking && TypedRowSelfSinks(StrToFloat(row.Wsw), row.Na))
            row.Na = kSelfSinking;
    }
}
