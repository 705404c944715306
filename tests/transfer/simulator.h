// vantrell-sim started for one test on a pseudo-terminal, serving tests made from the shipped
// sample, and killed when the test ends.
#pragma once

#include "childprocess.h"
#include "sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

// The sample test with another header line ("102 004 017 0025 03 24 05 17 09 30" in the file).
inline QByteArray sampleTestWithHeader(const QByteArray &header)
{
    QFile file(QDir(samplesDir()).filePath(QStringLiteral("sample.ktd")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    bytes.replace("102 004 017 0025 03 24 05 17 09 30", header);
    return bytes;
}

// The three headers of the instrument's tests and the .ktd names they give.
inline const QList<QByteArray> kThreeHeaders = {"102 004 017 0025 01 05 04 12 10 35",
                                                "102 004 017 0025 02 05 04 12 11 05",
                                                "102 004 017 0025 03 05 04 13 09 20"};
inline const QStringList kThreeNames = {QStringLiteral("05年04月12日10：35.ktd"),
                                        QStringLiteral("05年04月12日11：05.ktd"),
                                        QStringLiteral("05年04月13日09：20.ktd")};

// Test i (0..2) as the instrument holds it. The third is longer (20 notes before its test
// section), so "--fail drop-after=95" breaks off only the third read.
inline QByteArray instrumentTest(int i)
{
    QByteArray notes;
    if (i == 2)
        for (int n = 0; n < 20; ++n)
            notes += "VT200 memo\r\n";
    return notes + sampleTestWithHeader(kThreeHeaders.at(i));
}
inline constexpr int kBreakInThirdTest = 95;

class TSimulatorProcess
{
public:
    // Writes the three tests into `box`/instrument and starts the simulator with `extra`
    // arguments; link() then leads to its terminal.
    TSimulatorProcess(const TestSandbox &box, const QStringList &extra = {})
        // The port's lock file is named after the link: a name of its own per sandbox lets
        // tests run side by side.
        : m_link(box.filePath(QStringLiteral("vantrell-") + QFileInfo(box.path()).fileName()))
    {
        for (int i = 0; i < kThreeHeaders.size(); ++i)
            box.writeFile(QStringLiteral("instrument/test%1.ktd").arg(i + 1), instrumentTest(i));
        EndWithTestProcess(m_process);
        m_process.start(QStringLiteral(TESSMARK_BIN_DIR "/vantrell-sim"),
                        QStringList{QStringLiteral("--tests"), box.filePath("instrument"),
                                    QStringLiteral("--link"), m_link} +
                            extra);
        EXPECT_TRUE(m_process.waitForStarted(5000));
        EXPECT_TRUE(m_process.waitForReadyRead(5000));
        m_terminal = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~TSimulatorProcess()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    TSimulatorProcess(const TSimulatorProcess &) = delete;
    TSimulatorProcess &operator=(const TSimulatorProcess &) = delete;

    QString link() const { return m_link; }
    // Ends the simulator and answers all it told on standard error.
    QString stopAndReadNotes()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
        return QString::fromLocal8Bit(m_process.readAllStandardError());
    }
    QString terminal() const { return m_terminal; }

private:
    QString m_link;
    QString m_terminal;
    QProcess m_process;
};
