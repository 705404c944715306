// Conversion between code-page-932 bytes (files, tables, clipboard) and QString.
#pragma once

#include <QByteArray>
#include <QString>

namespace Cp932 {

// Decodes CP932 bytes. A byte sequence that is not valid CP932 becomes U+FFFD and decoding
// goes on with the next byte, so damaged files still show what can be read.
QString decode(const QByteArray &bytes);

// Encodes to CP932. A character that CP932 cannot hold becomes "?".
QByteArray encode(const QString &text);

} // namespace Cp932
