// Error types of the model and the strict number conversions that raise them.
#pragma once

#include <QString>
#include <stdexcept>

// Base of every error the model reports; what() is the message the user sees (UTF-8).
class ETessmarkError : public std::runtime_error
{
public:
    explicit ETessmarkError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// A text that should hold a number does not.
class EConvertError : public ETessmarkError
{
public:
    using ETessmarkError::ETessmarkError;
};

class QFileDevice;

// A data file cannot be written. The default message is the one about disk space.
class ECantWriteFile : public ETessmarkError
{
public:
    ECantWriteFile();
    explicit ECantWriteFile(const QString &message) : ETessmarkError(message) {}
    // The error of a file that failed to open, write or commit: the disk-space message when the
    // disk is full, else "データを保存できません" with the file's name and the system's reason
    // (a missing folder or a denied permission is not cured by freeing space).
    static ECantWriteFile Of(const QFileDevice &file);
    // The same for a call of the system that failed with `error` (an errno value) on `path`.
    static ECantWriteFile OfSystemError(const QString &path, int error);
};

// The text itself when it has at most 40 characters, else its first 40 followed by "…": messages
// quote file content through it, so a damaged file cannot make a message of megabytes.
QString ExcerptForMessage(const QString &text);

// Strict conversions: the whole text (blanks around it allowed) must be the number, else
// EConvertError with the usual message ("'%s' は整数ではありません" and its decimal counterpart).
int StrToInt(const QString &text);
double StrToFloat(const QString &text);
// The same, answering `fallback` instead of raising.
int StrToIntDef(const QString &text, int fallback);
// The decimal value of a text, false when it is not a number; no exception.
bool TryStrToFloat(QStringView text, double &value);
