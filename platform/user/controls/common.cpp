// Shared drawing and notification helpers of the common controls, and their registration.
#include "platform/user/controls/common.h"

#include <algorithm>
#include <cwctype>

namespace tw_controls {

HFONT ControlFont(HFONT given) {
    return given ? given : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

int FontHeight(HFONT font) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ControlFont(font));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return tm.tmHeight > 0 ? int(tm.tmHeight) : 13;
}

int TextWidth(HDC dc, const std::u16string& text) {
    SIZE sz{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &sz);
    return sz.cx;
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    if (right <= left || bottom <= top)
        return;
    HBRUSH b = CreateSolidBrush(color);
    RECT r{left, top, right, bottom};
    FillRect(dc, &r, b);
    DeleteObject(b);
}
void HLine(HDC dc, int left, int right, int y, COLORREF color) {
    Fill(dc, left, y, right, y + 1, color);
}
void VLine(HDC dc, int x, int top, int bottom, COLORREF color) {
    Fill(dc, x, top, x + 1, bottom, color);
}
void Frame(HDC dc, const RECT& r, COLORREF color) {
    HLine(dc, r.left, r.right, r.top, color);
    HLine(dc, r.left, r.right, r.bottom - 1, color);
    VLine(dc, r.left, r.top, r.bottom, color);
    VLine(dc, r.right - 1, r.top, r.bottom, color);
}
void RaisedBox(HDC dc, const RECT& r) {
    Fill(dc, r.left, r.top, r.right, r.bottom, kFace);
    HLine(dc, r.left, r.right, r.top, kHighlight);
    VLine(dc, r.left, r.top, r.bottom, kHighlight);
    HLine(dc, r.left, r.right, r.bottom - 1, kShadow);
    VLine(dc, r.right - 1, r.top, r.bottom, kShadow);
}
void DrawArrow(HDC dc, const RECT& r, Arrow dir, COLORREF color) {
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int n = 3; // rows of the triangle
    for (int i = 0; i < n + 1; i++) {
        switch (dir) {
            case Arrow::Down: HLine(dc, cx - n + i, cx + n - i + 1, cy - n / 2 + i, color); break;
            case Arrow::Up: HLine(dc, cx - n + i, cx + n - i + 1, cy + n / 2 - i, color); break;
            case Arrow::Right: VLine(dc, cx - n / 2 + i, cy - n + i, cy + n - i + 1, color); break;
            case Arrow::Left: VLine(dc, cx + n / 2 - i, cy - n + i, cy + n - i + 1, color); break;
        }
    }
}

LRESULT NotifyParent(HWND hwnd, UINT code, NMHDR* hdr) {
    hdr->hwndFrom = hwnd;
    hdr->idFrom = UINT_PTR(GetDlgCtrlID(hwnd));
    hdr->code = code;
    HWND parent = GetParent(hwnd);
    if (!parent)
        return 0;
    return SendMessageW(parent, WM_NOTIFY, WPARAM(hdr->idFrom), reinterpret_cast<LPARAM>(hdr));
}

void CommandParent(HWND hwnd, WORD code) {
    HWND parent = GetParent(hwnd);
    if (parent)
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                     reinterpret_cast<LPARAM>(hwnd));
}

namespace {
char16_t Fold(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return char16_t(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) // Latin-1 capitals
        return char16_t(c + 32);
    return c;
}
} // namespace

int CompareNoCase(const std::u16string& a, const std::u16string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; i++) {
        char16_t x = Fold(a[i]), y = Fold(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

int CopyOut(const std::u16string& text, LPWSTR buffer, int cap) {
    if (!buffer || cap <= 0)
        return 0;
    int n = std::min<int>(int(text.size()), cap - 1);
    std::copy(text.begin(), text.begin() + n, buffer);
    buffer[n] = 0;
    return n;
}

std::u16string TextOf(LPCWSTR text) {
    if (!text || IS_INTRESOURCE(text))
        return std::u16string();
    return std::u16string(text);
}

// ---- Scroll bar ----------------------------------------------------------------------

RECT VScroll::ThumbRect() const {
    int arrow = std::min<int>(kScrollWidth, (rect.bottom - rect.top) / 2);
    int top = rect.top + arrow, bottom = rect.bottom - arrow;
    int track = bottom - top;
    if (total <= page || track <= 0)
        return RECT{rect.left, top, rect.right, top}; // no thumb
    int h = std::max(8, track * page / total);
    h = std::min(h, track);
    int y = top + (track - h) * pos / MaxPos();
    return RECT{rect.left, y, rect.right, y + h};
}

VScroll::Part VScroll::HitTest(int x, int y) const {
    if (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom)
        return None;
    int arrow = std::min<int>(kScrollWidth, (rect.bottom - rect.top) / 2);
    if (y < rect.top + arrow)
        return UpArrow;
    if (y >= rect.bottom - arrow)
        return DownArrow;
    RECT t = ThumbRect();
    if (t.bottom <= t.top)
        return None;
    if (y < t.top)
        return PageUp;
    if (y >= t.bottom)
        return PageDown;
    return Thumb;
}

void VScroll::Draw(HDC dc) const {
    int arrow = std::min<int>(kScrollWidth, (rect.bottom - rect.top) / 2);
    Fill(dc, rect.left, rect.top, rect.right, rect.bottom, kTrack);
    VLine(dc, rect.left, rect.top, rect.bottom, kGrid);
    RECT up{rect.left, rect.top, rect.right, rect.top + arrow};
    RECT down{rect.left, rect.bottom - arrow, rect.right, rect.bottom};
    bool active = total > page;
    for (const RECT& r : {up, down}) {
        RaisedBox(dc, r);
        Frame(dc, r, kShadow);
    }
    if (pressed == UpArrow)
        Fill(dc, up.left + 1, up.top + 1, up.right - 1, up.bottom - 1, kShadow);
    if (pressed == DownArrow)
        Fill(dc, down.left + 1, down.top + 1, down.right - 1, down.bottom - 1, kShadow);
    DrawArrow(dc, up, Arrow::Up, active ? kText : kGrayText);
    DrawArrow(dc, down, Arrow::Down, active ? kText : kGrayText);
    RECT t = ThumbRect();
    if (t.bottom > t.top) {
        RaisedBox(dc, t);
        Frame(dc, t, kShadow);
    }
}

bool VScroll::Press(int x, int y) {
    int old = pos;
    pressed = HitTest(x, y);
    switch (pressed) {
        case UpArrow: pos--; break;
        case DownArrow: pos++; break;
        case PageUp: pos -= std::max(1, page - 1); break;
        case PageDown: pos += std::max(1, page - 1); break;
        case Thumb: grabOffset = y - ThumbRect().top; break;
        case None: break;
    }
    pos = std::clamp(pos, 0, MaxPos());
    return pos != old;
}

bool VScroll::Drag(int, int y) {
    if (pressed != Thumb)
        return false;
    int old = pos;
    int arrow = std::min<int>(kScrollWidth, (rect.bottom - rect.top) / 2);
    int top = rect.top + arrow, bottom = rect.bottom - arrow;
    RECT t = ThumbRect();
    int room = (bottom - top) - (t.bottom - t.top);
    if (room > 0 && MaxPos() > 0) {
        int want = y - grabOffset - top;
        pos = (want * MaxPos() + room / 2) / room;
        pos = std::clamp(pos, 0, MaxPos());
    }
    return pos != old;
}

} // namespace tw_controls
