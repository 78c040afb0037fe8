#pragma once
// The font of our windows' controls at each DPI: the system's GUI font, drawn as large as the
// monitor's DPI asks. Fonts live as long as the process, one per DPI and style; windows on
// several monitors share them.

#include <windows.h>

// The plain control font at `dpi`.
HFONT GuiFont(UINT dpi);
// The same face, `factor` times as large and of `weight` (a big button's caption).
HFONT ScaledGuiFont(UINT dpi, double factor, int weight);
