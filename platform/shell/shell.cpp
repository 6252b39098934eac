// The handheld shell: dialog initialisation, the top bar's button, the command bar at the
// bottom of the screen, and starting the help viewer.
#include "platform/shell/shell.h"

#include "platform/registry/registry.h"

#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

constexpr int kScreenW = 240;
constexpr int kScreenH = 320;
constexpr int kTopBarH = 26;
constexpr int kBarH = 26;
constexpr int kWorkH = kScreenH - kTopBarH - kBarH;
constexpr int kButtonPad = 10;

struct BarButton {
    WORD command;
    BYTE style;
    int popupIndex;
    std::u16string caption;
    RECT rect;
};
struct Bar {
    HWND owner = nullptr;
    HMENU menu = nullptr;
    std::vector<BarButton> buttons;
    int pressed = -1;
    bool tracking = false;
};
std::map<HWND, Bar>& Bars() {
    static auto* m = new std::map<HWND, Bar>;
    return *m;
}

HFONT BarFont() {
    static HFONT f = CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                 VARIABLE_PITCH | FF_SWISS, u"Tahoma");
    return f;
}

int CaptionWidth(const std::u16string& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ of = SelectObject(dc, BarFont());
    SIZE sz{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &sz);
    SelectObject(dc, of);
    DeleteDC(dc);
    return sz.cx;
}

int ButtonAt(const Bar& bar, int x, int y) {
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        const RECT& r = bar.buttons[i].rect;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return int(i);
    }
    return -1;
}

void Press(HWND hwnd, Bar& bar, int index) {
    if (bar.pressed != index) {
        bar.pressed = index;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

LRESULT CALLBACK_Bar(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto it = Bars().find(hwnd);
    switch (msg) {
        case WM_NCDESTROY:
            if (it != Bars().end()) {
                if (it->second.menu)
                    DestroyMenu(it->second.menu);
                Bars().erase(it);
            }
            return 0;
        case WM_LBUTTONDOWN:
            if (it != Bars().end()) {
                int i = ButtonAt(it->second, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
                if (i >= 0) {
                    it->second.tracking = true;
                    SetCapture(hwnd);
                    Press(hwnd, it->second, i);
                }
            }
            return 0;
        case WM_MOUSEMOVE:
            if (it != Bars().end() && it->second.tracking)
                Press(hwnd, it->second, ButtonAt(it->second, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
            return 0;
        case WM_CAPTURECHANGED:
            if (it != Bars().end() && it->second.tracking) {
                it->second.tracking = false;
                Press(hwnd, it->second, -1);
            }
            return 0;
        case WM_LBUTTONUP: {
            if (it == Bars().end() || !it->second.tracking)
                return 0;
            Bar& bar = it->second;
            int i = ButtonAt(bar, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            bar.tracking = false;
            ReleaseCapture();
            if (i < 0) {
                Press(hwnd, bar, -1);
                return 0;
            }
            BarButton b = bar.buttons[size_t(i)];
            HWND owner = bar.owner;
            HMENU sub = (b.style & TBSTYLE_DROPDOWN) ? GetSubMenu(bar.menu, b.popupIndex) : nullptr;
            if (sub) {
                // The button stays pressed while its menu is open above it.
                Press(hwnd, bar, i);
                POINT p{b.rect.left, 0};
                ClientToScreen(hwnd, &p);
                TrackPopupMenuEx(sub, TPM_LEFTALIGN | TPM_BOTTOMALIGN, p.x, p.y, owner, nullptr);
                auto again = Bars().find(hwnd);
                if (again != Bars().end())
                    Press(hwnd, again->second, -1);
            } else {
                Press(hwnd, bar, -1);
                PostMessageW(owner, WM_COMMAND, MAKEWPARAM(b.command, 0), 0);
            }
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            HBRUSH face = CreateSolidBrush(RGB(214, 211, 206));
            FillRect(dc, &r, face);
            DeleteObject(face);
            RECT line{0, 0, r.right, 1};
            HBRUSH dark = CreateSolidBrush(RGB(128, 128, 128));
            FillRect(dc, &line, dark);
            DeleteObject(dark);
            if (it != Bars().end()) {
                HGDIOBJ of = SelectObject(dc, BarFont());
                SetBkMode(dc, TRANSPARENT);
                for (size_t i = 0; i < it->second.buttons.size(); ++i) {
                    const BarButton& b = it->second.buttons[i];
                    bool down = int(i) == it->second.pressed;
                    if (down) {
                        HBRUSH blue = CreateSolidBrush(RGB(0, 36, 107));
                        FillRect(dc, &b.rect, blue);
                        DeleteObject(blue);
                    }
                    SetTextColor(dc, down ? RGB(255, 255, 255) : RGB(0, 0, 0));
                    RECT tr = b.rect;
                    DrawTextW(dc, b.caption.c_str(), -1, &tr,
                              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                }
                SelectObject(dc, of);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterBarClass() {
    static bool done = false;
    if (done)
        return;
    done = true;
    WNDCLASSW wc{};
    wc.lpfnWndProc = CALLBACK_Bar;
    wc.lpszClassName = u"CommandBar";
    RegisterClassW(&wc);
}

HWND TopLevel(HWND hwnd) {
    HWND cur = hwnd;
    while (cur && (GetWindowLongW(cur, GWL_STYLE) & WS_CHILD)) {
        HWND p = GetParent(cur);
        if (!p)
            break;
        cur = p;
    }
    return cur;
}

} // namespace

void SHInitExtraControls() {
    RegisterBarClass();
}

BOOL SHInitDialog(SHINITDLGINFO* info) {
    if (!info || !IsWindow(info->hDlg))
        return FALSE;
    if (info->dwMask & SHIDIM_FLAGS) {
        // There is no input panel here, so lowering it changes nothing.
        if (info->dwFlags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIZEDLG))
            SetWindowPos(info->hDlg, nullptr, 0, kTopBarH, kScreenW, kWorkH,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        if (info->dwFlags & SHIDIF_DONEBUTTON)
            SetDoneButton(info->hDlg, TRUE);
    }
    return TRUE;
}

BOOL SHDoneButton(HWND hwnd, DWORD state) {
    if (!IsWindow(hwnd))
        return FALSE;
    if (state == SHDB_SHOW)
        return SetDoneButton(hwnd, TRUE);
    if (state == SHDB_HIDE)
        return SetDoneButton(hwnd, FALSE);
    return FALSE;
}

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (!info)
        return FALSE;
    info->hwndMB = nullptr;
    if (!IsWindow(info->hwndParent))
        return FALSE;
    RegisterBarClass();
    Bar bar;
    bar.owner = TopLevel(info->hwndParent);
    if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
        HRSRC res = FindResourceW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId), RT_RCDATA);
        auto* mb =
            static_cast<const MENUBARRESOURCE*>(LockResource(LoadResource(info->hInstRes, res)));
        if (!mb || mb->count < 0 || (mb->count > 0 && !mb->buttons))
            return FALSE;
        bar.menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(mb->menuId));
        if (!bar.menu)
            return FALSE;
        int x = 0;
        for (int i = 0; i < mb->count; ++i) {
            const MENUBARBUTTON& src = mb->buttons[i];
            WCHAR caption[128];
            LoadStringW(info->hInstRes, src.captionId, caption, 128);
            BarButton b{src.command, src.style, src.popupIndex, caption, RECT{}};
            int w = CaptionWidth(b.caption) + 2 * kButtonPad;
            b.rect = RECT{x, 1, x + w, kBarH};
            x += w;
            bar.buttons.push_back(b);
        }
    }
    DWORD style = WS_POPUP | ((info->dwFlags & SHCMBF_HIDDEN) ? 0 : WS_VISIBLE);
    HWND hwnd = CreateWindowExW(WS_EX_NOACTIVATE, u"CommandBar", u"", style, 0, kScreenH - kBarH,
                                kScreenW, kBarH, bar.owner, nullptr, info->hInstRes, nullptr);
    if (!hwnd) {
        if (bar.menu)
            DestroyMenu(bar.menu);
        return FALSE;
    }
    AttachToOwner(hwnd);
    Bars()[hwnd] = bar;
    InvalidateRect(hwnd, nullptr, TRUE);
    info->hwndMB = hwnd;
    return TRUE;
}

// ---- Starting programs -----------------------------------------------------------------

namespace {

std::string Narrow(LPCWSTR s) {
    std::string out;
    if (!s)
        return out;
    std::vector<char> buf(WcsLen(s) * 3 + 1);
    NarrowUtf8(buf.data(), buf.size(), s);
    return std::string(buf.data());
}

// The data directory the installer wrote; empty when there is none.
std::string InstallDirectory() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vellmore\\tarnwick", 0, 0, &key) !=
        ERROR_SUCCESS)
        return std::string();
    WCHAR value[MAX_PATH] = {};
    DWORD size = sizeof value - sizeof(WCHAR);
    DWORD type = 0;
    LONG rc =
        RegQueryValueExW(key, u"Install", nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return std::string();
    value[MAX_PATH - 1] = 0;
    char native[MAX_PATH * 3];
    PathToNative(native, sizeof native, value);
    return native;
}

bool Spawn(const std::vector<std::string>& args) {
    if (args.empty() || args[0].empty())
        return false;
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    // Nothing of the child is kept; a thread of its own collects its end.
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

bool IsHelpViewer(const std::string& app) {
    std::string base =
        app.substr(app.find_last_of("/\\") == std::string::npos ? 0 : app.find_last_of("/\\") + 1);
    for (auto& c : base)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return base == "peghelp.exe" || base == "peghelp";
}

} // namespace

BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, SECURITY_ATTRIBUTES* procAttrs,
                    SECURITY_ATTRIBUTES* threadAttrs, BOOL inheritHandles, DWORD flags,
                    LPVOID environment, LPCWSTR currentDirectory, STARTUPINFOW* startup,
                    PROCESS_INFORMATION* info) {
    (void)procAttrs;
    (void)threadAttrs;
    (void)inheritHandles;
    (void)flags;
    (void)environment;
    (void)currentDirectory;
    (void)startup;
    if (info)
        *info = PROCESS_INFORMATION{};
    std::string app = Narrow(application);
    std::string cmd = Narrow(commandLine);
    std::vector<std::string> args;
    if (IsHelpViewer(app)) {
        // The command line names the help file and its topic: "file.html#Topic".
        std::string file = cmd, topic;
        size_t hash = cmd.find('#');
        if (hash != std::string::npos) {
            file = cmd.substr(0, hash);
            topic = cmd.substr(hash);
        }
        std::string dir = InstallDirectory();
        if (dir.empty())
            return FALSE;
        std::string url = "file://" + dir + "/" + file + topic;
        const char* viewer = getenv("TARNWICK_HELP_VIEWER");
        args = {viewer && *viewer ? viewer : "xdg-open", url};
    } else {
        if (!app.empty())
            args.push_back(app);
        size_t i = 0;
        while (i < cmd.size()) {
            while (i < cmd.size() && cmd[i] == ' ')
                ++i;
            size_t j = cmd.find(' ', i);
            if (j == std::string::npos)
                j = cmd.size();
            if (j > i)
                args.push_back(cmd.substr(i, j - i));
            i = j;
        }
    }
    if (!Spawn(args)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}
