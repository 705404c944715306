// What every fuzz target shares: a private folder made once, the inputs written into it, and the
// shipped reference tables.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace fuzz {

// A folder of this process, removed when it ends. In memory when the system has /dev/shm: every
// input is written once, and a disk file system would spend most of the time flushing them.
inline const QTemporaryDir &workDir()
{
    static const std::unique_ptr<QTemporaryDir> dir =
        QFileInfo(QStringLiteral("/dev/shm")).isWritable()
            ? std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tessmark-fuzz-XXXXXX"))
            : std::make_unique<QTemporaryDir>();
    return *dir;
}

// Writes the bytes to `name` in the work folder and answers its path.
inline QString writeInput(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = workDir().filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

// A short test in the work folder with a row of every kind (skipped load, self-sinking, rotation,
// one-decimal half-turns, hammering), for targets whose input changes how a test is read: a short
// one keeps the executions fast.
inline QString smallTestFile()
{
    static const QString path = [] {
        static const char bytes[] = "$T(\r\n102 004 017 0025 03 24 05 17 09 30\r\n"
                                    "999 0000 J04 000\r\n005 0008 J04 JTN\r\n025 0024 J04 JTN\r\n"
                                    "075 0063 J07 JTN\r\n100 0100 J04 003\r\n100 0125 J04 004\r\n"
                                    "100 0150 J07 004\r\n100 0225 P06 JTN\r\n100 0300 J04 006\r\n"
                                    "100 0325 D07 000\r\n100 0350 J03 007.5\r\nT10 30\r\n)\r\n";
        return writeInput(QStringLiteral("small.ktd"), reinterpret_cast<const uint8_t *>(bytes),
                          sizeof bytes - 1);
    }();
    return path;
}

// The folder of the reference tables and of the sample files in the source tree.
inline QString shippedDataDir()
{
    return QStringLiteral(TESSMARK_FUZZ_DATA_DIR);
}
inline QString samplesDir()
{
    return QStringLiteral(TESSMARK_FUZZ_SAMPLES_DIR);
}

} // namespace fuzz
