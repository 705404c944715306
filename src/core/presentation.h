// The texts the main window shows for a test: grid cells, header panel labels, GPS line.
#pragma once

#include "record.h"

#include <QStringList>

class QTextStream;

// Header row of the data grid.
QStringList GridHeaderTexts();

// The seven cells of one grid row. Raises EConvertError on a Wsw or Na text that is not a number.
QStringList GridRowTexts(const Tvt_data &row, bool naMode);

// The same cells joined by tabs, with a line end, appended to `out`.
void AppendGridRowLine(QString &out, const Tvt_data &row, bool naMode);

// The header panel's lines, a blank line, the grid's header and every row of DisplayLog, as the
// main window shows the test (what `tessmark-cli show` prints). Raises EConvertError as
// GridRowTexts does.
void WriteTestText(const TSoundingTest &test, bool naMode, QTextStream &out);

QString TestCodeText(const TTestInfo &info);   // "試験コード  %.3d-%.3d-%.3d-%.4d"
QString PointNoText(const TTestInfo &info);    // "測点番号 %.2d"
QString TestTimeText(const TTestInfo &info);   // "試験時間       %.4d年 %2d月 ..."
QString FinalDepthText(const TTestInfo &info); // "最終貫入深さ   %2.2f m"
QString GpsText(const TGPSData &gps);          // "GPS未測位" or "GPS測位  緯度 ..."
