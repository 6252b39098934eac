// What the common controls share: the handheld's colours, the control font, notifications
// to the parent and the vertical scroll bar that the list view and the drop-down list draw
// themselves. Built on the public window-system and drawing interfaces only.
#pragma once

#include "platform/user/commctrl.h"

#include <string>

namespace tw_controls {

// The handheld's palette: white faces, thin grey lines, dark blue selection.
constexpr COLORREF kWindow = RGB(255, 255, 255);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kSelection = RGB(0, 0, 128);
constexpr COLORREF kSelectionText = RGB(255, 255, 255);
constexpr COLORREF kGrid = RGB(192, 192, 192);
constexpr COLORREF kFace = RGB(212, 208, 200);
constexpr COLORREF kShadow = RGB(128, 128, 128);
constexpr COLORREF kFrame = RGB(0, 0, 0);
constexpr COLORREF kHighlight = RGB(255, 255, 255);
constexpr COLORREF kGrayText = RGB(160, 160, 160);
constexpr COLORREF kTrack = RGB(236, 233, 216);

constexpr int kScrollWidth = 13;

// The font a control draws with: the one given by WM_SETFONT, else the dialog font.
HFONT ControlFont(HFONT given);
// The cell height of a font, in pixels.
int FontHeight(HFONT font);
int TextWidth(HDC dc, const std::u16string& text);

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color);
void HLine(HDC dc, int left, int right, int y, COLORREF color);
void VLine(HDC dc, int x, int top, int bottom, COLORREF color);
void Frame(HDC dc, const RECT& r, COLORREF color);
// A raised face: light top-left, dark bottom-right.
void RaisedBox(HDC dc, const RECT& r);
// A small solid triangle pointing up, down, left or right, centred in r.
enum class Arrow { Up, Down, Left, Right };
void DrawArrow(HDC dc, const RECT& r, Arrow dir, COLORREF color);

// Sends WM_NOTIFY to the parent with hdr filled in; returns the parent's answer.
LRESULT NotifyParent(HWND hwnd, UINT code, NMHDR* hdr);
// Sends WM_COMMAND (id, code) to the parent.
void CommandParent(HWND hwnd, WORD code);

// Case-insensitive comparison of two texts, as sorted lists order their items ("10"
// before "9": digits are characters like any other).
int CompareNoCase(const std::u16string& a, const std::u16string& b);

// Copies text into a caller's buffer of cap characters: at most cap - 1 of them, always
// terminated; returns the characters copied.
int CopyOut(const std::u16string& text, LPWSTR buffer, int cap);
std::u16string TextOf(LPCWSTR text);

// A vertical scroll bar over a list of rows: total rows, rows per page, the first row shown.
struct VScroll {
    RECT rect{};   // where it is drawn, in the owner's client coordinates
    int total = 0; // rows
    int page = 1;  // rows that fit
    int pos = 0;   // first row shown
    // Stylus tracking
    enum Part { None, UpArrow, DownArrow, PageUp, PageDown, Thumb } pressed = None;
    int grabOffset = 0; // where in the thumb the stylus holds it

    int MaxPos() const { return total > page ? total - page : 0; }
    RECT ThumbRect() const;
    Part HitTest(int x, int y) const;
    void Draw(HDC dc) const;
    // Stylus down at (x, y): returns true when the position changed.
    bool Press(int x, int y);
    // Stylus moved while held: returns true when the position changed.
    bool Drag(int x, int y);
    void Release() { pressed = None; }
};

// Window classes of the controls, registered by InitCommonControls.
void RegisterListView();
void RegisterTabControl();
void RegisterComboBox();
void RegisterMonthCalendar();

// The state object of a control, kept in its window's extra bytes.
template <class T> T* StateOf(HWND hwnd) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, 0));
}

} // namespace tw_controls
