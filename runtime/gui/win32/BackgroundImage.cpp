#include "runtime/gui/win32/BackgroundImage.h"

#include "runtime/gui/Geometry.h"

using namespace quelt_gui;

void drawBackgroundImage(HDC dc, HBITMAP bitmap, std::int32_t mode, const RECT& client, const RECT& clip) {
    BITMAP info{};
    if (!dc || !bitmap || GetObjectW(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight <= 0)
        return;
    HDC source = CreateCompatibleDC(dc);
    if (!source)
        return;
    HGDIOBJ previous = SelectObject(source, bitmap);
    const bool alpha = info.bmBitsPixel == 32 && info.bmBits != nullptr;
    const int iw = info.bmWidth, ih = info.bmHeight;
    auto draw = [&](int x, int y, int w, int h) {
        if (alpha) {
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            GdiAlphaBlend(dc, x, y, w, h, source, 0, 0, iw, ih, blend);
        } else if (w == iw && h == ih) {
            BitBlt(dc, x, y, w, h, source, 0, 0, SRCCOPY);
        } else {
            StretchBlt(dc, x, y, w, h, source, 0, 0, iw, ih, SRCCOPY);
        }
    };
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    if (mode == 2 || mode == 3)
        SetStretchBltMode(dc, GetDeviceCaps(dc, BITSPIXEL) > 16 ? HALFTONE : COLORONCOLOR);
    switch (mode) {
    case 1: {
        const TileRange tiles =
            tilesCovering({clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top}, iw, ih);
        for (int row = 0; row < tiles.rows; ++row)
            for (int column = 0; column < tiles.columns; ++column)
                draw((tiles.firstColumn + column) * iw, (tiles.firstRow + row) * ih, iw, ih);
        break;
    }
    case 2: {
        const Rect r = fittedImageRect(cw, ch, iw, ih);
        if (!r.empty())
            draw(r.x, r.y, r.width, r.height);
        break;
    }
    case 3:
        draw(0, 0, cw, ch);
        break;
    default:
        draw(0, 0, iw, ih);
        break;
    }
    SelectObject(source, previous);
    DeleteDC(source);
}

void fillBackground(HDC dc, const RECT& area, std::uint32_t colour) {
    if (colour == 0xFF000000u) {
        FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    } else if (HBRUSH brush = CreateSolidBrush(colour)) {
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }
}
