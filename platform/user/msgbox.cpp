// Message boxes: a modal box in the middle of the work area with its caption, an icon,
// the text (line feeds break lines) and an OK button.
#include "platform/user/internal.h"

#include <algorithm>

namespace tw_user {

constexpr int kBoxW = 224;
constexpr int kStripH = 20;
constexpr int kIcon = 32;
constexpr int kButtonW = 64;
constexpr int kButtonH = 22;

struct BoxInfo {
    std::u16string caption;
    UINT type;
};

static void DrawErrorIcon(HDC dc, int x, int y) {
    // A red disc with a white cross.
    HBRUSH red = CreateSolidBrush(RGB(204, 0, 0));
    HPEN edge = CreatePen(PS_SOLID, 1, RGB(128, 0, 0));
    HGDIOBJ ob = SelectObject(dc, red);
    HGDIOBJ op = SelectObject(dc, edge);
    Ellipse(dc, x, y, x + kIcon, y + kIcon);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(red);
    DeleteObject(edge);
    HPEN white = CreatePen(PS_SOLID, 3, RGB(255, 255, 255));
    op = SelectObject(dc, white);
    MoveToEx(dc, x + 10, y + 10, nullptr);
    LineTo(dc, x + 22, y + 22);
    MoveToEx(dc, x + 22, y + 10, nullptr);
    LineTo(dc, x + 10, y + 22);
    SelectObject(dc, op);
    DeleteObject(white);
}

static INT_PTR MessageBoxDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    (void)lp;
    switch (msg) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
                EndDialog(hwnd, LOWORD(wp));
                return TRUE;
            }
            return FALSE;
        case WM_PAINT: {
            auto* info = reinterpret_cast<BoxInfo*>(GetWindowLongPtrW(hwnd, DWLP_USER));
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
            FrameRect(dc, &r, frame);
            DeleteObject(frame);
            RECT strip{1, 1, r.right - 1, kStripH};
            HBRUSH blue = CreateSolidBrush(RGB(0, 36, 107));
            FillRect(dc, &strip, blue);
            DeleteObject(blue);
            if (info) {
                HGDIOBJ of = SelectObject(dc, SystemUiFont(12, true));
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, RGB(255, 255, 255));
                RECT tr{strip.left + 6, strip.top, strip.right - 6, strip.bottom};
                DrawTextW(dc, info->caption.c_str(), -1, &tr,
                          DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                SelectObject(dc, of);
                if ((info->type & 0xF0) == MB_ICONERROR)
                    DrawErrorIcon(dc, 8, kStripH + 8);
            }
            EndPaint(hwnd, &ps);
            return TRUE;
        }
    }
    return FALSE;
}

} // namespace tw_user

using namespace tw_user;

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    RegisterSystemClasses();
    SetUiThread();
    BoxInfo info{Str(caption ? caption : u"Error"), type};
    std::u16string body = Str(text);
    bool icon = (type & 0xF0) != 0;
    int textLeft = icon ? 8 + kIcon + 8 : 10;
    int textW = kBoxW - textLeft - 10;
    HFONT font = DialogFont(u"MS Sans Serif", 8);
    int textH = 0;
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ of = SelectObject(dc, font);
        RECT calc{0, 0, textW, 0};
        textH = DrawTextW(dc, body.c_str(), -1, &calc,
                          DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
        SelectObject(dc, of);
        DeleteDC(dc);
    }
    int contentH = std::max(icon ? kIcon : 0, textH);
    int boxH = std::min(kWorkH, kStripH + 8 + contentH + 12 + kButtonH + 8);
    int x = (kScreenW - kBoxW) / 2;
    int y = kWorkTop + (kWorkH - boxH) / 2;
    if (owner && !Get(owner))
        owner = nullptr;
    HWND box = CreateWindowExW(WS_EX_TOPMOST, u"Dialog", info.caption.c_str(), WS_POPUP, x, y,
                               kBoxW, boxH, owner, nullptr, nullptr, nullptr);
    auto w = Get(box);
    if (!w)
        return 0;
    w->dlg = std::make_unique<DialogState>();
    w->font = font;
    w.reset();
    SetWindowLongPtrW(box, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&MessageBoxDlgProc));
    SetWindowLongPtrW(box, DWLP_USER, reinterpret_cast<LONG_PTR>(&info));
    int textTop = kStripH + 8 + (contentH - textH) / 2;
    HWND label = CreateWindowExW(0, u"STATIC", body.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                                 textLeft, textTop, textW, std::max(textH, 13), box,
                                 reinterpret_cast<HMENU>(uintptr_t(0xFFFF)), nullptr, nullptr);
    HWND ok =
        CreateWindowExW(0, u"BUTTON", u"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                        (kBoxW - kButtonW) / 2, boxH - 8 - kButtonH, kButtonW, kButtonH, box,
                        reinterpret_cast<HMENU>(uintptr_t(IDOK)), nullptr, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(box, WM_INITDIALOG, reinterpret_cast<WPARAM>(ok), 0);
    ShowWindow(box, SW_SHOW);
    INT_PTR r = RunModalLoop(box);
    return r == IDCANCEL ? IDCANCEL : IDOK;
}
