// Shared set-up of the data file tests: a sandbox, default settings and the shipped tables.
#pragma once

#include "codec.h"
#include "reader.h"
#include "reftables.h"
#include "sandbox.h"
#include "settings.h"

#include <QDir>
#include <gtest/gtest.h>

class FilesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(tables.LoadFrom(sandbox.copyShippedTables())); }

    QString write(const QString &name, const QStringList &lines)
    {
        return sandbox.writeCp932Lines(name, lines);
    }
    TSoundingTest open(const QString &path) { return OpenTestFile(path, setting, tables); }
    static QString sample(const QString &name) { return QDir(samplesDir()).filePath(name); }

    TestSandbox sandbox;
    TSetting setting;
    TReferenceTables tables;
};

// The lines of a file written with CR LF; fails the test on a bare LF.
inline QList<QByteArray> crlfLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        EXPECT_TRUE(line.endsWith('\r')) << line.toStdString();
        line.chop(1);
    }
    return lines;
}

inline QByteArray cp932(const QString &text)
{
    return Cp932::encode(text);
}

// The first row at `depth`; fails the test when there is none.
inline const Tvt_data &rowAtDepth(const Tkannyu &log, int depth)
{
    for (int i = 1; i <= log.Count; ++i) {
        if (log.row(i).Depth == depth)
            return log.row(i);
    }
    ADD_FAILURE() << "no row at depth " << depth;
    static const Tvt_data none;
    return none;
}

inline std::ostream &operator<<(std::ostream &out, const QString &text)
{
    return out << text.toStdString();
}
