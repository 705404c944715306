// Where the serial ports "Comm1" .. "Comm9" of the settings lead on this computer.
#pragma once

#include <QString>

struct TSetting;

// The device path of port n (1..9): the TermMode/CommN setting when it is not empty, else the
// n-th serial port the system lists (in name order), else "" ("COMn" on Windows). Empty for a
// number outside 1..9.
QString CommDevicePath(const TSetting &setting, int n);
