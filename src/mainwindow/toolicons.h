// The pictures of the main window's tool buttons, drawn rather than shipped.
#pragma once

#include <QIcon>

enum class TToolIcon { Open, Save, Print, Transfer, Graph, Rounding };

QIcon ToolIcon(TToolIcon kind);
