// Dialogs: creation from templates in dialog units, modal loops, EndDialog, the default
// dialog procedure.
#include "platform/user/internal.h"

#include <map>

namespace tw_user {

HFONT DialogFont(LPCWSTR face, int pointSize) {
    static std::map<std::pair<std::u16string, int>, HFONT>* fonts =
        new std::map<std::pair<std::u16string, int>, HFONT>;
    auto key = std::make_pair(Str(face), pointSize);
    auto it = fonts->find(key);
    if (it != fonts->end())
        return it->second;
    int height = -((pointSize * 96 + 36) / 72); // 96 dots per inch
    HFONT f = CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                          VARIABLE_PITCH | FF_SWISS, face && *face ? face : u"MS Sans Serif");
    (*fonts)[key] = f;
    return f;
}

HFONT SystemUiFont(int pixelHeight, bool bold) {
    static std::map<std::pair<int, bool>, HFONT>* fonts = new std::map<std::pair<int, bool>, HFONT>;
    auto key = std::make_pair(pixelHeight, bold);
    auto it = fonts->find(key);
    if (it != fonts->end())
        return it->second;
    HFONT f = CreateFontW(-pixelHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0,
                          DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH | FF_SWISS, u"Tahoma");
    (*fonts)[key] = f;
    return f;
}

INT_PTR RunModalLoop(HWND dialog) {
    auto w = Get(dialog);
    if (!w || !w->dlg)
        return -1;
    w->dlg->running = true;
    w.reset();
    auto firstIdle = [dialog]() {
        auto d = Get(dialog);
        if (!d || !d->dlg || d->dlg->shownOnce)
            return false;
        d->dlg->shownOnce = true;
        // A modal dialog that has not shown itself is shown once the queue is empty.
        if (!(d->style & WS_VISIBLE) && !d->dlg->ended) {
            ShowWindow(dialog, SW_SHOW);
            return true;
        }
        return false;
    };
    INT_PTR result = 0;
    for (;;) {
        auto d = Get(dialog);
        if (!d || !d->dlg)
            return 0; // destroyed under its loop
        if (d->dlg->ended) {
            result = d->dlg->result;
            break;
        }
        if (S().abortModal) {
            result = d->dlg->ended ? d->dlg->result : IDCANCEL;
            break;
        }
        d.reset();
        MSG m;
        PumpOne(&m, firstIdle);
        if (m.message == WM_QUIT && !m.hwnd) {
            PostQuitMessage(int(m.wParam)); // every loop below ends too
            break;
        }
        if (m.hwnd || m.message)
            DispatchMessageW(&m);
    }
    if (auto d = Get(dialog))
        d->dlg->running = false;
    DestroyWindow(dialog);
    return result;
}

LRESULT DialogWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefDlgProcW(hwnd, msg, wp, lp);
}

} // namespace tw_user

using namespace tw_user;

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW tmpl, HWND owner, DLGPROC proc,
                                LPARAM param) {
    if (!tmpl || tmpl->itemCount < 0 || (tmpl->itemCount > 0 && !tmpl->items))
        return -1;
    RegisterSystemClasses();
    SetUiThread();
    if (owner && !Get(owner))
        owner = nullptr;
    int width = DluX(tmpl->cx), height = DluY(tmpl->cy);
    int x, y;
    if (tmpl->style & DS_CENTER) {
        x = (kScreenW - width) / 2;
        y = kWorkTop + (kWorkH - height) / 2;
    } else {
        // Template places of top-level dialogs count from the work area's corner.
        x = DluX(tmpl->x);
        y = kWorkTop + DluY(tmpl->y);
    }
    DWORD style = (tmpl->style & ~(WS_VISIBLE | WS_CHILD)) | WS_POPUP;
    HWND hwnd = CreateWindowExW(tmpl->exStyle, u"Dialog", tmpl->title ? tmpl->title : u"", style, x,
                                y, width, height, owner, nullptr, instance, nullptr);
    auto w = Get(hwnd);
    if (!w)
        return -1;
    w->dlg = std::make_unique<DialogState>();
    SetWindowLongPtrW(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    HFONT font = (tmpl->style & DS_SETFONT) ? DialogFont(tmpl->faceName, tmpl->pointSize)
                                            : DialogFont(u"MS Sans Serif", 8);
    w->font = font;
    w.reset();
    HWND focus = nullptr;
    for (int i = 0; i < tmpl->itemCount; ++i) {
        const DLGITEMTEMPLATEW& it = tmpl->items[i];
        HWND c = CreateWindowExW(it.exStyle, it.className, it.text, it.style | WS_CHILD, DluX(it.x),
                                 DluY(it.y), DluX(it.cx), DluY(it.cy), hwnd,
                                 reinterpret_cast<HMENU>(uintptr_t(it.id)), instance, nullptr);
        if (!c) {
            DestroyWindow(hwnd);
            return -1;
        }
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (!focus && (it.style & WS_TABSTOP) && !(it.style & WS_DISABLED))
            focus = c;
    }
    INT_PTR init = SendMessageW(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param);
    if (auto d = Get(hwnd)) {
        if (init && focus && Get(focus))
            SetFocus(focus);
        if ((tmpl->style & WS_VISIBLE) && !d->dlg->ended)
            ShowWindow(hwnd, SW_SHOW);
    }
    return RunModalLoop(hwnd);
}

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    HRSRC res = FindResourceW(instance, name, RT_DIALOG);
    if (!res)
        return -1;
    auto* tmpl = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(instance, res)));
    return DialogBoxIndirectParamW(instance, tmpl, owner, proc, param);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    auto w = Get(dialog);
    if (!w || !w->dlg)
        return FALSE;
    w->dlg->ended = true;
    w->dlg->result = result;
    // It leaves the screen now; its loop returns once the loops opened inside it have.
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

LRESULT DefDlgProcW(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    auto w = Get(dialog);
    if (!w)
        return 0;
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC));
    w.reset();
    if (proc) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        INT_PTR r = proc(dialog, msg, wp, lp);
        if (!Get(dialog))
            return r;
        switch (msg) {
            // These answer with the procedure's own result.
            case WM_INITDIALOG: return r;
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORMSGBOX:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORSCROLLBAR:
                if (r)
                    return r;
                break;
            default:
                if (r)
                    return GetWindowLongPtrW(dialog, DWLP_MSGRESULT);
        }
    }
    switch (msg) {
        case WM_CLOSE:
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return 0;
        case WM_SIZE:
        case WM_ACTIVATE:
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_TIMER:
        case WM_INITDIALOG: return 0;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(dialog, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, GetStockObject(WHITE_BRUSH));
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(dialog, &ps);
            // A dialog smaller than the work area shows its edge.
            RECT r;
            GetClientRect(dialog, &r);
            if (dc && (r.right < kScreenW || r.bottom < kWorkH)) {
                HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
                FrameRect(dc, &r, frame);
                DeleteObject(frame);
            }
            EndPaint(dialog, &ps);
            return 0;
        }
    }
    return DefWindowProcW(dialog, msg, wp, lp);
}
