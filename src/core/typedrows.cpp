#include "typedrows.h"

#include "errors.h"
#include "fieldlimits.h"

#include <algorithm>
#include <cmath>

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

void CheckTypedRow(int row, std::optional<double> depthCm, std::optional<double> loadHundredths,
                   QStringView halfTurns, double &previousDepthCm)
{
    if (depthCm) {
        const double cm = *depthCm;
        if (!std::isfinite(cm) || !DepthFits(qint64(std::clamp(cm, -1.0, kMaxDepthCm + 1.0))))
            throw ETypedRowError(row, TTypedField::Depth,
                                 QStringLiteral("%1 行目の貫入深さが範囲外です。\r"
                                                "貫入深さは 0.00～99.99 m の範囲で入力して"
                                                "ください")
                                     .arg(row));
        // A step upwards would give a negative Nsw.
        if (cm < previousDepthCm)
            throw ETypedRowError(row, TTypedField::Depth,
                                 QStringLiteral("%1 行目の貫入深さが上の行（%2 m）より浅く"
                                                "なっています。\r貫入深さは上の行と同じか、"
                                                "それより深い値を入力してください")
                                     .arg(row)
                                     .arg(QString::asprintf("%.2f", previousDepthCm / 100.0)));
        previousDepthCm = cm;
    }
    if (loadHundredths && !LoadFits(*loadHundredths))
        throw ETypedRowError(row, TTypedField::Load,
                             QStringLiteral("%1 行目の荷重が範囲外です。\r"
                                            "荷重は 0.00～9.99 kN の範囲で、小数第2位までの"
                                            "値を入力してください")
                                 .arg(row));
    if (halfTurns == kSelfSinking)
        return;
    double value = 0;
    if (!TryStrToFloat(halfTurns, value))
        throw ETypedRowError(row, TTypedField::HalfTurns,
                             QStringLiteral("%1 行目の半回転数が数値ではありません。\r"
                                            "半回転数は数値か「自沈」を入力してください")
                                 .arg(row));
    if (!HalfTurnsFit(value))
        throw ETypedRowError(row, TTypedField::HalfTurns,
                             QStringLiteral("%1 行目の半回転数が範囲外です。\r"
                                            "半回転数は 0 以上 1000 未満で入力してください")
                                 .arg(row));
}

void CheckTypedLog(const Tkannyu &log)
{
    double previousDepth = 0;
    for (int i = 1; i <= log.Count; ++i) {
        const Tvt_data &row = log.row(i);
        double load = 0;
        const bool loadRead = TryStrToFloat(row.Wsw, load);
        CheckTypedRow(i, double(row.Depth), loadRead ? std::optional<double>(load) : std::nullopt,
                      row.Na, previousDepth);
    }
}
