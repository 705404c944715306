// Where the program's own files are: the reference tables, the print header picture and the help.
#pragma once

#include <QString>

// The path of the program file `name` (a file name or a relative path such as "guide/index.html").
// It is looked for beside the executable first (the build folder, a Windows install), then in
// ../share/tessmark/ relative to the executable (an installed tree, wherever its prefix lies).
// When it is in neither, the path beside the executable, so a message names where it belongs.
QString ProgramFilePath(const QString &programFolder, const QString &name);

// The folder ProgramFilePath takes `name` from.
QString ProgramFilesFolder(const QString &programFolder, const QString &name);
