// Windows, messages, the queue, timers, dialogs from templates, modal loops, controls,
// menus, the cursor and message boxes of the handheld's window system.
// All of it runs on one UI thread.
#pragma once

#include "platform/base/base.h"
#include "platform/gdi/gdi.h"

#include <functional>

typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HMENU__* HMENU;
typedef struct HCURSOR__* HCURSOR;
typedef struct HRSRC__* HRSRC;
typedef void* HGLOBAL;

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

// ---- Messages ------------------------------------------------------------------------
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETREDRAW 0x000B
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SHOWWINDOW 0x0018
#define WM_CANCELMODE 0x001F
#define WM_SETCURSOR 0x0020
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_NOTIFY 0x004E
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_CTLCOLORMSGBOX 0x0132
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORLISTBOX 0x0134
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSCROLLBAR 0x0137
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_CAPTURECHANGED 0x0215
#define WM_NCHITTEST 0x0084
#define WM_USER 0x0400

#define MK_LBUTTON 0x0001

// WM_SIZE
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
// WM_ACTIVATE
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2
// WM_SYSCOMMAND
#define SC_MINIMIZE 0xF020
#define SC_CLOSE 0xF060

// ---- Styles --------------------------------------------------------------------------
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_NOACTIVATE 0x08000000L // a pop-up that is never activated (drop-down lists, menus)

#define DS_MODALFRAME 0x80L
#define DS_SETFONT 0x40L
#define DS_SETFOREGROUND 0x200L
#define DS_CENTER 0x800L

#define SS_LEFT 0x0L
#define SS_CENTER 0x1L
#define SS_RIGHT 0x2L
#define SS_ICON 0x3L
#define SS_BITMAP 0xEL
#define SS_TYPEMASK 0x1FL
#define SS_NOTIFY 0x100L
#define SS_CENTERIMAGE 0x200L
#define STM_SETICON 0x0170
#define STM_GETICON 0x0171
#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1

#define BS_PUSHBUTTON 0x0L
#define BS_DEFPUSHBUTTON 0x1L
#define BS_GROUPBOX 0x7L
#define BS_TYPEMASK 0xFL
#define BN_CLICKED 0
#define BM_GETSTATE 0x00F2
#define BST_PUSHED 0x0004

// ---- Windows -------------------------------------------------------------------------
struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy, cx, y, x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};
struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};
typedef WORD ATOM;
ATOM RegisterClassW(const WNDCLASSW* wc);

// lpWindowName may be MAKEINTRESOURCEW(id) for a bitmap or icon static.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menuOrId,
                     HINSTANCE instance, LPVOID param);
LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWL_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_USERDATA (-21)
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16
// Non-negative offsets reach the cbWndExtra bytes of the class (dialogs have 24).
LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
LONG GetWindowLongW(HWND hwnd, int index);
LONG SetWindowLongW(HWND hwnd, int index, LONG value);

HWND GetParent(HWND hwnd);
#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5
HWND GetWindow(HWND hwnd, UINT cmd); // children in creation order, top-level windows topmost first
HWND GetTopWindow(HWND parent);      // null parent: the topmost top-level window
int GetDlgCtrlID(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);
int GetClassNameW(HWND hwnd, LPWSTR name, int cap);

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
int GetWindowTextW(HWND hwnd, LPWSTR text, int cap);
int GetWindowTextLengthW(HWND hwnd);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWNA 8
#define SW_RESTORE 9
// SW_SHOW and SW_SHOWNORMAL also make a top-level window the foreground window
// (WM_ACTIVATE with WA_ACTIVE); hiding the foreground window passes that to the next
// visible top-level window.
BOOL ShowWindow(HWND hwnd, int cmd); // returns whether it was visible before

#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND hwnd, LPRECT rect); // screen coordinates, top bar included
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL ClientToScreen(HWND hwnd, LPPOINT pt);
BOOL ScreenToClient(HWND hwnd, LPPOINT pt);
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
HWND WindowFromPoint(POINT pt);
BOOL MapDialogRect(HWND dialog, LPRECT rect);

BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

// Exact, case-sensitive title of a top-level window, shown or hidden; the class is not
// looked at when it is null. In a second process this asks the first (see host).
HWND FindWindowW(LPCWSTR className, LPCWSTR title);

// ---- Messages and the queue ----------------------------------------------------------
LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wp, LPARAM lp);
BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
BOOL GetMessageW(MSG* msg, HWND hwnd, UINT min, UINT max);
#define PM_NOREMOVE 0
#define PM_REMOVE 1
BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove);
LRESULT DispatchMessageW(const MSG* msg);
void PostQuitMessage(int code);

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// ---- Painting ------------------------------------------------------------------------
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, LPCRECT rect);
BOOL UpdateWindow(HWND hwnd);
#define COLOR_WINDOW 5
#define COLOR_WINDOWTEXT 8
#define COLOR_BTNFACE 15
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_GRAYTEXT 17
DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYCAPTION 4
int GetSystemMetrics(int index);

// ---- Resources -----------------------------------------------------------------------
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_RCDATA MAKEINTRESOURCEW(10)

// A dialog template as C++ data: places and sizes in dialog units, controls in creation
// order. For a bitmap or icon static the text is MAKEINTRESOURCEW(resource id).
struct DLGITEMTEMPLATEW {
    LPCWSTR className; // u"STATIC", u"BUTTON", u"COMBOBOX", WC_LISTVIEWW, WC_TABCONTROLW, MONTHCAL_CLASSW
    LPCWSTR text;
    WORD id;           // 0xFFFF or 0 for none
    DWORD style;       // WS_CHILD is implied
    DWORD exStyle;
    short x, y, cx, cy;
};
struct DLGTEMPLATEW {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    LPCWSTR title;
    WORD pointSize;
    LPCWSTR faceName;
    const DLGITEMTEMPLATEW* items;
    int itemCount;
};
typedef const DLGTEMPLATEW* LPCDLGTEMPLATEW;

// A picture drawn at run time: the system makes a white bitmap of that size and lets
// draw paint it.
struct BITMAPRESOURCE {
    int width;
    int height;
    void (*draw)(HDC dc, int width, int height);
};
// An icon: a picture whose top-left pixel's colour is transparent.
typedef BITMAPRESOURCE ICONRESOURCE;

#define MF_STRING 0x0000
#define MF_GRAYED 0x0001
#define MF_POPUP 0x0010
#define MF_SEPARATOR 0x0800
struct MENUITEMTEMPLATEW {
    UINT flags;   // MF_STRING, MF_POPUP or MF_SEPARATOR
    WORD id;      // command id (0 for a pop-up or a separator)
    LPCWSTR text; // null for a separator
    const MENUITEMTEMPLATEW* popup; // items of a pop-up
    int popupCount;
};
struct MENUTEMPLATEW {
    const MENUITEMTEMPLATEW* items;
    int count;
};

struct STRINGRESOURCE {
    LPCWSTR text;
};

// One resource of a module: its type, its number, and its data (a DLGTEMPLATEW,
// BITMAPRESOURCE, ICONRESOURCE, MENUTEMPLATEW, STRINGRESOURCE, or the data of an RCDATA
// resource such as a command bar, see shell).
struct RESOURCEENTRY {
    LPCWSTR type;
    WORD id;
    const void* data;
};
// A module instance over a table of resources (the table outlives the instance).
HINSTANCE CreateModuleInstance(const RESOURCEENTRY* entries, int count);
HRSRC FindResourceW(HINSTANCE instance, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HINSTANCE instance, HRSRC res);
LPVOID LockResource(HGLOBAL data);
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name); // delete with DeleteObject
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);     // shared, not destroyed
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int cap);
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);

// ---- Menus ---------------------------------------------------------------------------
HMENU CreatePopupMenu();
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text);
HMENU GetSubMenu(HMENU menu, int pos);
int GetMenuItemCount(HMENU menu);
BOOL DestroyMenu(HMENU menu);
#define TPM_LEFTALIGN 0x0000
#define TPM_BOTTOMALIGN 0x0020
#define TPM_RETURNCMD 0x0100
// Opens the pop-up at a screen point; a pick posts WM_COMMAND to owner (or returns it
// with TPM_RETURNCMD). Runs its own loop until the menu closes.
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPVOID params);

// ---- Dialogs -------------------------------------------------------------------------
// Runs the template as a modal dialog: the owner (if any) is not disabled; the loop
// dispatches every window's messages and returns the code given to EndDialog once the
// loops opened inside it have returned.
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW tmpl, HWND owner,
                                DLGPROC proc, LPARAM param);
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc,
                        LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcW(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

#define IDOK 1
#define IDCANCEL 2

#define MB_OK 0x00000000L
#define MB_ICONERROR 0x00000010L
#define MB_ICONHAND MB_ICONERROR
#define MB_ICONWARNING 0x00000030L
#define MB_ICONINFORMATION 0x00000040L
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---- Cursor --------------------------------------------------------------------------
#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_WAIT MAKEINTRESOURCEW(32514)
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
HCURSOR SetCursor(HCURSOR cursor); // null: no cursor (the stylus' normal state)
HCURSOR GetCursor();

// ---- Stock of the window system ---------------------------------------------------
// Static controls with SS_BITMAP answer this with the resource id of their picture (0 when
// the picture did not come from a resource).
#define STM_GETIMAGEID_TW (WM_USER + 0x7F00)

// ---- The desktop's seams (the layer's own) -------------------------------------------
// The screen is 240 x 320: a 26 px top bar with the foreground window's title and its X
// (or "ok"), the work area, a 26 px command bar at the bottom. Windows are drawn onto one
// screen surface; after every paint round the host presents it.
Surface* ScreenSurface();

// The desktop host plugs in here. Every call comes on the UI thread.
struct DesktopHooks {
    virtual ~DesktopHooks() = default;
    // The screen after a paint round.
    virtual void Present(Surface* screen) { (void)screen; }
    // Another window became foreground, or the foreground window's title changed.
    virtual void TitleChanged(LPCWSTR title) { (void)title; }
    virtual void CursorChanged(BOOL wait) { (void)wait; }
    // The message loop has nothing to do: nothing queued, nothing to paint. Return when
    // WakeUiLoop was called, or when dueMs on CurrentClock() has come (UINT64_MAX: no timer
    // is set); returning early is harmless. The default waits on a condition variable.
    virtual void Wait(uint64_t dueMs);
};
void SetDesktopHooks(DesktopHooks* hooks); // null restores the default
DesktopHooks* GetDesktopHooks();

// The calling thread becomes the UI thread (the first thread to make a window is it).
void SetUiThread();
// Any thread: the task runs on the UI thread from whichever message loop runs there, in
// order with posted messages and stylus input.
void RunOnUiThread(std::function<void()> task);
void WakeUiLoop();

// Stylus input at screen coordinates (any thread): queued, then hit-tested, activated and
// delivered as WM_LBUTTONDOWN / WM_MOUSEMOVE / WM_LBUTTONUP when the loop takes it.
void StylusDown(int x, int y);
void StylusMove(int x, int y);
void StylusUp(int x, int y);

// UI thread. Nothing queued (messages, input, tasks) and no paint pending.
BOOL IsQueueIdle();
// The time on CurrentClock() at which the next timer is due; UINT64_MAX when none is set.
uint64_t NextTimerDue();
// Paints whatever is pending at once and presents the screen.
void UpdateScreen();
// The top bar's button for this window: TRUE shows "ok" (IDOK), FALSE the X (minimise).
BOOL SetDoneButton(HWND hwnd, BOOL ok);
BOOL GetDoneButton(HWND hwnd);
// A pop-up that belongs to its owner as a part of it (a command bar): visible whenever it
// and its owner are, painted and hit right above the owner, not a top-level window of its
// own in the window order.
BOOL AttachToOwner(HWND popup);
// Ends every modal loop and menu at once and destroys every window, timer and queued
// message: the desktop starts over (a host that shuts down, a fresh test desktop).
void ResetWindowSystem();
// Modal loops in progress end when this is set (a desktop shutting down); cleared by
// ResetWindowSystem.
void AbortModalLoops();

// Windows of another process (the desktop socket): handles with this bit are answered by
// the hooks. FindWindowW asks them when no window of this process has the title.
#define REMOTE_HWND_BIT 0x40000000u
struct RemoteWindowHooks {
    virtual ~RemoteWindowHooks() = default;
    virtual HWND Find(LPCWSTR title) = 0; // a handle with REMOTE_HWND_BIT, or null
    virtual BOOL Show(HWND hwnd, int cmd) = 0;
    virtual BOOL SetForeground(HWND hwnd) = 0;
};
void SetRemoteWindowHooks(RemoteWindowHooks* hooks);
