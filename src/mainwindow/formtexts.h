// Texts and sizes the main window's source files share.
#pragma once

#include <QString>

// The caption's product word: the open file's name follows it.
inline const QString kCaptionWord = QStringLiteral("Tessmark     ");

// The grid's columns the pick lists and the write-back use.
inline constexpr int kObsColumn = 4;
inline constexpr int kSoilColumn = 5;
inline constexpr int kNValueColumn = 6;

// The window can be made no lower than this.
inline constexpr int kMinimumWindowHeight = 300;

inline const QString kUnsupportedFileType =
    QStringLiteral("このファイルタイプには対応していません");
inline const QString kOverwriteQuestion =
    QStringLiteral("同名のファイルが存在します。保存しますか?");
