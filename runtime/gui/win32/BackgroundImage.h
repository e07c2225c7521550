#pragma once
// Drawing a background bitmap into a client area in one of the image modes of the
// framework (0 top-left at natural size, 1 tiled, 2 fitted, 3 stretched). A 32-bit
// bitmap with pixel bits is blended with its per-pixel alpha. Only `clip` needs
// painting; a missing bitmap draws nothing.
#include <cstdint>

#include <windows.h>

void drawBackgroundImage(HDC dc, HBITMAP bitmap, std::int32_t mode, const RECT& client, const RECT& clip);

// Fills `area` with `colour`; 0xFF000000 stands for the system's button face.
void fillBackground(HDC dc, const RECT& area, std::uint32_t colour);
