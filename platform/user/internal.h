// The window system's own state, shared by the files of platform/user (not a public
// header: programs and other libraries use user.h).
#pragma once

#include "platform/user/user.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tw_user {

// Screen geometry of the handheld.
constexpr int kScreenW = 240;
constexpr int kScreenH = 320;
constexpr int kTopBarH = 26;
constexpr int kCommandBarH = 26;
constexpr int kWorkTop = kTopBarH;                         // work area top
constexpr int kWorkH = kScreenH - kTopBarH - kCommandBarH; // 268
constexpr int kCommandBarTop = kScreenH - kCommandBarH;    // 294

// Dialog units: fixed base units under which a full-screen template of 162 x 167 units
// fills the 240 x 268 work area exactly (rounded to the nearest pixel).
inline LONG DluX(LONG v) {
    long n = long(v) * kScreenW;
    return LONG(n >= 0 ? (n + 81) / 162 : -((-n + 81) / 162));
}
inline LONG DluY(LONG v) {
    long n = long(v) * kWorkH;
    return LONG(n >= 0 ? (n + 83) / 167 : -((-n + 83) / 167));
}

struct WindowClass {
    std::u16string name;
    WNDPROC proc = nullptr;
    int cbWndExtra = 0;
    HBRUSH background = nullptr;
    HINSTANCE instance = nullptr;
    bool system = false; // the window system's own classes, kept across a reset
};

struct DialogState {
    bool ended = false;
    INT_PTR result = 0;
    bool shownOnce = false;
    bool running = false; // its modal loop is on the stack
};

struct Window {
    HWND hwnd = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    HWND parent = nullptr; // child windows
    HWND owner = nullptr;  // top-level windows
    HINSTANCE instance = nullptr;
    std::vector<HWND> children;  // creation order
    std::vector<HWND> zchildren; // sibling order of the children, topmost first
    std::u16string text;
    RECT rect{}; // child: in the parent's client coordinates; top-level: screen
    LONG_PTR userData = 0;
    std::vector<unsigned char> extra;
    bool attached = false;   // a command bar: shown with its owner, painted right above it
    bool redraw = true;      // WM_SETREDRAW
    bool doneButton = false; // the top bar shows "ok" for this window
    bool destroying = false;
    HFONT font = nullptr;
    // Painting
    int paintDepth = 0;          // BeginPaint calls open on this window
    bool paintedByOther = false; // someone else painted it during its own WM_PAINT
    RECT paintClip{};            // client coordinates of the area being painted
    bool inPaintRound = false;
    std::unique_ptr<DialogState> dlg;
};

using WindowPtr = std::shared_ptr<Window>;

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    uint64_t due;
    uint64_t seq;
};

struct QueueItem {
    enum Kind { Message, Stylus, Task } kind = Message;
    MSG msg{};
    int stylusAction = 0; // 0 down, 1 move, 2 up
    int x = 0, y = 0;
    std::function<void()> task;
};

struct State {
    std::unordered_map<uintptr_t, WindowPtr> windows;
    uintptr_t nextHandle = 2; // 0 and 1 mean HWND_TOP and HWND_BOTTOM
    std::vector<HWND> topZ;   // top-level windows, topmost first (command bars excluded)
    std::map<std::u16string, std::shared_ptr<WindowClass>> classes; // upper-cased names
    HWND foreground = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    std::deque<QueueItem> posted;
    std::vector<Timer> timers;
    uint64_t timerSeq = 0;
    UINT_PTR nextTimerId = 0x7000;
    RECT dirty{}; // the screen area to repaint in the next paint round
    bool quit = false;
    int quitCode = 0;
    bool abortModal = false;
    HCURSOR cursor = nullptr;
    // Stylus
    bool stylusDown = false;
    bool topBarPress = false;
    HWND stylusTarget = nullptr;
};

State& S();

WindowPtr Get(HWND hwnd);
// The same look-up for a call that only reads the window and calls out to nothing: no
// share of its ownership is taken.
Window* Peek(HWND hwnd);
inline uintptr_t HandleValue(HWND h) {
    return reinterpret_cast<uintptr_t>(h);
}

std::u16string Upper(const std::u16string& s);
std::u16string Str(LPCWSTR s);
bool EqualsNoCase(LPCWSTR a, LPCWSTR b);

// Geometry
RECT ScreenRect(const WindowPtr& w);       // the window's rectangle on the screen
RECT ClientScreenRect(const WindowPtr& w); // its client area on the screen
int BorderWidth(const WindowPtr& w);
bool EffectivelyVisible(const WindowPtr& w); // it and every ancestor (and owner of a bar)
RECT VisibleScreenRect(const WindowPtr& w);  // the part not clipped by ancestors
HWND TopLevelOf(HWND hwnd);
bool IsTopLevel(const WindowPtr& w);
RECT Intersect(const RECT& a, const RECT& b);
bool IsEmpty(const RECT& r);
RECT Union(const RECT& a, const RECT& b);
bool Contains(const RECT& r, int x, int y);
void OffsetRectBy(RECT* r, int dx, int dy);

// Painting
void AddDirty(const RECT& screen);
bool HasDirty();
void PaintRound();
void InvalidateWindowArea(const WindowPtr& w); // its whole visible screen area
void DrawDecorations();                        // top bar (and the busy sign)
void MarkTopBarDirty();
void TitleChangedFor(HWND hwnd);
void PresentScreen();

// Activation
void ActivateWindow(HWND hwnd, int how); // how: WA_ACTIVE or WA_CLICKACTIVE
void ActivateNextAfterHiding(HWND hidden);
void BringToTop(HWND hwnd);

// Queue
bool PumpOne(MSG* msg, const std::function<bool()>& onIdle);
void RemoveTimersOf(HWND hwnd);
bool TranslateStylus(const QueueItem& item, MSG* msg);
void HandleTopBarTap(int x);
bool IsOnUiThread();
HWND HitTest(int x, int y);

// Classes of the window system
void RegisterSystemClasses();
LRESULT StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT MenuWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT MessageBoxProc(HWND, UINT, WPARAM, LPARAM);
bool IsHitTransparent(const WindowPtr& w);

// Dialogs
INT_PTR RunModalLoop(HWND dialog);
HFONT DialogFont(LPCWSTR face, int pointSize);
HFONT SystemUiFont(int pixelHeight, bool bold);

// Resources
const void* FindResourceData(HINSTANCE instance, WORD id, LPCWSTR type);

// Menus
struct MenuItemData {
    UINT flags = 0;
    UINT_PTR id = 0;
    std::u16string text;
    HMENU popup = nullptr;
};
const std::vector<MenuItemData>* MenuItems(HMENU menu);
LRESULT DialogWndProc(HWND, UINT, WPARAM, LPARAM);

} // namespace tw_user
