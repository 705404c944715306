// The large transfer file the open, show, save and window benchmarks read.
#pragma once

#include "fieldlimits.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A transfer file of `rows` rows with the kinds of rows a field test has. Depths keep to the
// four-digit depth field (1..9999 cm) and start again every 9,999 rows, so any number of rows
// reads as a valid file. bench/show_vs_iconv.sh writes the same rows.
inline QByteArray makeTransferFile(int rows)
{
    const char *const codes[] = {"J01", "J04", "J03", "J05", "J07", "J02"};
    QByteArray bytes = "$T(\r\n001 002 003 0004 05 24 06 07 08 09\r\n";
    bytes.reserve(qsizetype(rows) * 20 + 1024);
    for (int i = 1; i <= rows; ++i) {
        const int depth = 1 + (i - 1) % kMaxDepthCm;
        if (i % 97 == 0)
            bytes += QString::asprintf("100 %.4d D%.2d 000\r\n", depth, i % 20).toLatin1();
        else if (i % 13 == 0)
            bytes += QString::asprintf("050 %.4d J04 JTN\r\n", depth).toLatin1();
        else
            bytes +=
                QString::asprintf("100 %.4d %s %.3d\r\n", depth, codes[i % 6], i % 17).toLatin1();
    }
    bytes += "T10 30\r\n)\r\n$P(\r\nP00 1\r\n)\r\n$Q(\r\n";
    for (int i = 1; i <= rows / 10; ++i)
        bytes += QString::asprintf("%d %d\r\n", i * 20, i % 90).toLatin1();
    bytes += ")\r\n";
    return bytes;
}

// Writes the transfer file of `rows` rows into `dir`; an empty path when it cannot be written.
inline QString writeTransferFile(const QTemporaryDir &dir, int rows)
{
    const QString path = dir.filePath("large.ktd");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(makeTransferFile(rows)) < 0)
        return {};
    return path;
}
