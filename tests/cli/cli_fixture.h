// The command-line tool run in-process in a sandbox with the shipped tables.
#pragma once

#include "cli.h"
#include "cli_draw.h"
#include "sandbox.h"

#include <QBuffer>
#include <QTextStream>
#include <gtest/gtest.h>

struct CliRun
{
    int status = 0;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test
{
protected:
    // `input` is what standard input holds.
    CliRun run(const QStringList &arguments, const QByteArray &input = {})
    {
        QBuffer stdinBuffer;
        stdinBuffer.setData(input);
        stdinBuffer.open(QIODevice::ReadOnly);
        TCliEnvironment environment;
        environment.input = &stdinBuffer;
        environment.store = &sandbox.settings();
        environment.documentsDir = sandbox.path();
        environment.defaultTablesDir = sandbox.copyShippedTables();
        environment.runDrawing = RunCliDrawing;
        environment.dataFolder = sandbox.filePath(QStringLiteral("data"));
        environment.errIsTerminal = errIsTerminal;
        CliRun result;
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        result.status = RunCli(arguments, environment, out, err);
        return result;
    }

    TestSandbox sandbox;
    bool errIsTerminal = false;
};
