#include "button_painting.h"

#include "pictures.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <string>

namespace win32ui {
namespace {

std::wstring captionOf(HWND button) {
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(button)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(button, caption.data(), static_cast<int>(caption.size()))));
    return caption;
}

void drawSystemFace(const NMCUSTOMDRAW& draw, RECT& content) {
    const UINT state = draw.uItemState;
    const bool pressed = (state & CDIS_SELECTED) != 0;
    if (HTHEME theme = OpenThemeData(draw.hdr.hwndFrom, L"BUTTON")) {
        int part = PBS_NORMAL;
        if (state & CDIS_DISABLED) part = PBS_DISABLED;
        else if (pressed) part = PBS_PRESSED;
        else if (state & CDIS_HOT) part = PBS_HOT;
        else if (state & CDIS_DEFAULT) part = PBS_DEFAULTED;
        if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, part)) {
            RECT behind = draw.rc;
            DrawThemeParentBackground(draw.hdr.hwndFrom, draw.hdc, &behind);
        }
        DrawThemeBackground(theme, draw.hdc, BP_PUSHBUTTON, part, &draw.rc, nullptr);
        GetThemeBackgroundContentRect(theme, draw.hdc, BP_PUSHBUTTON, part, &draw.rc, &content);
        CloseThemeData(theme);
        return;
    }
    RECT face = draw.rc;
    DrawFrameControl(draw.hdc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    content = draw.rc;
    InflateRect(&content, -3, -3);
    if (pressed) OffsetRect(&content, 1, 1);
}

void drawFlatFace(const NMCUSTOMDRAW& draw, const ButtonLook& look, bool lit, RECT& content) {
    HDC dc = draw.hdc;
    const COLORREF face = lit ? GetSysColor(COLOR_HIGHLIGHT) : look.face.value_or(GetSysColor(COLOR_BTNFACE));
    SetDCBrushColor(dc, face);
    FillRect(dc, &draw.rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, look.frame.value_or(GetSysColor(COLOR_BTNSHADOW)));
    FrameRect(dc, &draw.rc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    content = draw.rc;
    InflateRect(&content, -3, -3);
    if (draw.uItemState & CDIS_SELECTED) OffsetRect(&content, 1, 1);
}

}  // namespace

LRESULT paintButton(const NMCUSTOMDRAW& draw, const ButtonLook& look) {
    if (draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    const UINT state = draw.uItemState;
    const bool lit = look.hotTrack && (state & CDIS_HOT) != 0 && (state & CDIS_DISABLED) == 0;

    RECT content{};
    if (look.face) drawFlatFace(draw, look, lit, content);
    else drawSystemFace(draw, content);

    HDC dc = draw.hdc;
    HBITMAP picture = lit && look.hotPicture ? look.hotPicture : look.picture;
    if (picture) {
        BITMAP size{};
        GetObjectW(picture, sizeof size, &size);
        const int gap = (content.bottom - content.top - size.bmHeight) / 2;
        drawPicture(dc, picture, content.left + 2, content.top + gap);
        content.left += size.bmWidth + 4;
    }

    const COLORREF text = (state & CDIS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT)
                          : lit                   ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                                  : look.text;
    HGDIOBJ previousFont = SelectObject(dc, look.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    const std::wstring caption = captionOf(draw.hdr.hwndFrom);
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if ((state & CDIS_SHOWKEYBOARDCUES) == 0) format |= DT_HIDEPREFIX;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &content, format);
    SelectObject(dc, previousFont);

    if ((state & CDIS_FOCUS) != 0) {
        RECT focus = draw.rc;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    return CDRF_SKIPDEFAULT;
}

}  // namespace win32ui
