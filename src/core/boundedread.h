// Reading the whole of a file the program opens by name: only a regular file, and no more than a
// limit, so a pipe or a device named like one of its files cannot keep it waiting, and an endless
// or huge file cannot fill its memory.
#pragma once

#include "errors.h"

#include <QByteArray>
#include <QString>

// Far beyond any reference table (a few kilobytes): a larger file is no table.
inline constexpr qint64 kMaxTableBytes = 4 * 1024 * 1024;

class EFileRefused : public ETessmarkError
{
public:
    enum Reason {
        NotRegular, // a pipe, a device, a folder
        TooLarge,   // above the limit, also when it grew while being read
        Unreadable, // it cannot be opened or read
    };
    EFileRefused(Reason reason, const QString &message) : ETessmarkError(message), m_reason(reason)
    {}
    Reason reason() const { return m_reason; }

private:
    Reason m_reason;
};

// The file's bytes. Raises EFileRefused: for NotRegular and TooLarge its message names the file
// and says why ("… は通常のファイルではありません", "… は大きすぎるため開けません（上限 N MiB）");
// for Unreadable it is the system's reason.
QByteArray ReadWholeFile(const QString &path, qint64 maxBytes);
