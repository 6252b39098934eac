// Automation: requests that read windows and controls and act on them as a user would.
// Every reply is {"ok":true,...} or {"ok":false,"error":TEXT}; nothing a client sends can
// do more than the request names.
#include "platform/host/host.h"

#include "platform/user/commctrl.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <vector>

using nlohmann::json;

namespace {

struct BadRequest {
    std::string text;
};

std::string Utf8(const std::u16string& s) {
    std::vector<char> buf(s.size() * 3 + 1);
    NarrowUtf8(buf.data(), buf.size(), s.c_str());
    return std::string(buf.data());
}

std::u16string Utf16(const std::string& s) {
    std::vector<WCHAR> buf(s.size() + 1);
    WidenUtf8(buf.data(), buf.size(), s.c_str());
    return std::u16string(buf.data());
}

std::string Dump(const json& j) {
    return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string Error(const std::string& text) {
    return Dump(json{{"ok", false}, {"error", text}});
}

const json& Field(const json& req, const char* name) {
    auto it = req.find(name);
    if (it == req.end())
        throw BadRequest{std::string("missing field '") + name + "'"};
    return *it;
}

long long IntField(const json& req, const char* name) {
    const json& v = Field(req, name);
    if (!v.is_number_integer())
        throw BadRequest{std::string("field '") + name + "' must be an integer"};
    return v.get<long long>();
}

int CoordField(const json& v, const char* name) {
    if (!v.is_number_integer())
        throw BadRequest{std::string("field '") + name + "' must hold integers"};
    long long n = v.get<long long>();
    if (n < -100000 || n > 100000)
        throw BadRequest{std::string("field '") + name + "' is out of range"};
    return int(n);
}

std::string StringField(const json& req, const char* name) {
    const json& v = Field(req, name);
    if (!v.is_string())
        throw BadRequest{std::string("field '") + name + "' must be a string"};
    return v.get<std::string>();
}

HWND WindowField(const json& req) {
    const json& v = Field(req, "window");
    if (v.is_number_integer()) {
        long long n = v.get<long long>();
        HWND h = n > 0 && n < (1LL << 30) ? reinterpret_cast<HWND>(uintptr_t(n)) : nullptr;
        if (!h || !IsWindow(h))
            throw BadRequest{"unknown window " + std::to_string(n)};
        return h;
    }
    if (v.is_string()) {
        std::u16string title = Utf16(v.get<std::string>());
        // The topmost top-level window with that title, of this desktop.
        for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
            WCHAR buf[512];
            GetWindowTextW(h, buf, 512);
            if (title == buf)
                return h;
        }
        throw BadRequest{"no window titled '" + v.get<std::string>() + "'"};
    }
    throw BadRequest{"field 'window' must be a handle or a title"};
}

json Rect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return json::array({r.left, r.top, r.right - r.left, r.bottom - r.top});
}

std::u16string Text(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::vector<WCHAR> buf(size_t(std::max(n, 0)) + 1);
    GetWindowTextW(h, buf.data(), int(buf.size()));
    return buf.data();
}

std::string Kind(HWND h) {
    WCHAR name[128];
    GetClassNameW(h, name, 128);
    std::u16string n = name;
    for (auto& c : n)
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 32);
    if (n == u"STATIC")
        return "static";
    if (n == u"BUTTON")
        return "button";
    if (n == u"SYSLISTVIEW32")
        return "listview";
    if (n == u"SYSTABCONTROL32")
        return "tab";
    if (n == u"COMBOBOX")
        return "combobox";
    if (n == u"SYSMONTHCAL32")
        return "monthcal";
    std::string s = Utf8(name);
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

int ControlId(HWND h) {
    int id = GetDlgCtrlID(h);
    return id == 0xFFFF ? -1 : id;
}

HWND ControlField(HWND window, const json& req) {
    long long id = IntField(req, "id");
    HWND c = id >= 0 && id <= 0xFFFF ? GetDlgItem(window, int(id)) : nullptr;
    if (!c)
        throw BadRequest{"no control " + std::to_string(id) + " in that window"};
    return c;
}

std::u16string ItemText(HWND lv, int row, int col) {
    WCHAR buf[256] = {};
    LVITEMW it{};
    it.iSubItem = col;
    it.pszText = buf;
    it.cchTextMax = 256;
    SendMessageW(lv, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&it));
    buf[255] = 0;
    return buf;
}

json DescribeControl(HWND c) {
    json j{{"id", ControlId(c)},
           {"class", Kind(c)},
           {"text", Utf8(Text(c))},
           {"visible", (GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE) != 0},
           {"rect", Rect(c)}};
    std::string kind = j["class"];
    if (kind == "listview") {
        int cols = int(SendMessageW(c, LVM_GETCOLUMNCOUNT_TW, 0, 0));
        json captions = json::array();
        for (int i = 0; i < cols; ++i) {
            WCHAR buf[256] = {};
            LVCOLUMNW col{};
            col.mask = LVCF_TEXT;
            col.pszText = buf;
            col.cchTextMax = 256;
            SendMessageW(c, LVM_GETCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&col));
            buf[255] = 0;
            captions.push_back(Utf8(buf));
        }
        j["columns"] = captions;
        j["rows"] = SendMessageW(c, LVM_GETITEMCOUNT, 0, 0);
        j["top"] = SendMessageW(c, LVM_GETTOPINDEX, 0, 0);
        POINT origin{};
        SendMessageW(c, LVM_GETORIGIN, 0, reinterpret_cast<LPARAM>(&origin));
        j["left"] = origin.x;
    } else if (kind == "combobox") {
        int n = int(SendMessageW(c, CB_GETCOUNT, 0, 0));
        json items = json::array();
        for (int i = 0; i < n; ++i) {
            int len = int(SendMessageW(c, CB_GETLBTEXTLEN, WPARAM(i), 0));
            std::vector<WCHAR> buf(size_t(std::max(len, 0)) + 1);
            SendMessageW(c, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buf.data()));
            buf.back() = 0;
            items.push_back(Utf8(buf.data()));
        }
        j["items"] = items;
        j["selected"] = SendMessageW(c, CB_GETCURSEL, 0, 0);
    } else if (kind == "tab") {
        int n = int(SendMessageW(c, TCM_GETITEMCOUNT, 0, 0));
        json items = json::array();
        for (int i = 0; i < n; ++i) {
            WCHAR buf[256] = {};
            TCITEMW it{};
            it.mask = TCIF_TEXT;
            it.pszText = buf;
            it.cchTextMax = 256;
            SendMessageW(c, TCM_GETITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&it));
            buf[255] = 0;
            items.push_back(Utf8(buf));
        }
        j["items"] = items;
        j["selected"] = SendMessageW(c, TCM_GETCURSEL, 0, 0);
    } else if (kind == "monthcal") {
        SYSTEMTIME st{};
        if (SendMessageW(c, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st))) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%02u/%02u/%04u", st.wMonth, st.wDay, st.wYear);
            j["selected"] = buf;
        } else {
            j["selected"] = nullptr;
        }
    } else if (kind == "static") {
        bool bitmap = (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
        LRESULT id = bitmap ? SendMessageW(c, STM_GETIMAGEID_TW, 0, 0) : 0;
        if (id)
            j["bitmap"] = id;
        else
            j["bitmap"] = nullptr;
    }
    return j;
}

void Tap(int x, int y) {
    StylusDown(x, y);
    StylusUp(x, y);
}

void TapRectCentre(HWND control, RECT r) {
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(control, &p);
    Tap(p.x, p.y);
}

void CheckIndex(long long index, long long count, const std::string& what) {
    if (index < 0 || index >= count)
        throw BadRequest{"index " + std::to_string(index) + " is outside the " +
                         std::to_string(count) + " " + what};
}

void Choose(HWND window, const json& req) {
    HWND c = ControlField(window, req);
    long long index = IntField(req, "index");
    std::string kind = Kind(c);
    if (kind == "tab") {
        CheckIndex(index, SendMessageW(c, TCM_GETITEMCOUNT, 0, 0), "tabs");
        RECT r{};
        if (!SendMessageW(c, TCM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r)))
            throw BadRequest{"the tab control gave no place for tab " + std::to_string(index)};
        TapRectCentre(c, r);
    } else if (kind == "listview") {
        CheckIndex(index, SendMessageW(c, LVM_GETITEMCOUNT, 0, 0), "rows");
        SendMessageW(c, LVM_ENSUREVISIBLE, WPARAM(index), FALSE);
        RECT r{};
        r.left = LVIR_BOUNDS;
        if (!SendMessageW(c, LVM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r)))
            throw BadRequest{"the list view gave no place for row " + std::to_string(index)};
        RECT client{};
        GetClientRect(c, &client);
        // A point of the row that lies inside the list: near its left end.
        r.left = std::max(r.left, client.left);
        r.right = std::min(r.right, client.right);
        r.right = std::min<LONG>(r.right, r.left + 20);
        TapRectCentre(c, r);
    } else if (kind == "combobox") {
        CheckIndex(index, SendMessageW(c, CB_GETCOUNT, 0, 0), "items");
        RECT wr{};
        GetWindowRect(c, &wr);
        // The closed box is as high as its first line; tap there to open the list.
        int y = wr.top + std::min<LONG>(8, (wr.bottom - wr.top) / 2);
        Tap((wr.left + wr.right) / 2, y);
        // Once the list is open, tap the item in it.
        RunOnUiThread([c, index] {
            RECT r{};
            if (IsWindow(c) &&
                SendMessageW(c, CB_GETITEMRECT_TW, WPARAM(index), reinterpret_cast<LPARAM>(&r)))
                Tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        });
    } else if (kind == "monthcal") {
        RECT r{};
        if (!SendMessageW(c, MCM_GETDAYRECT_TW, WPARAM(index), reinterpret_cast<LPARAM>(&r)))
            throw BadRequest{"the month shown has no day " + std::to_string(index)};
        TapRectCentre(c, r);
    } else {
        throw BadRequest{"nothing to choose in a " + kind};
    }
}

// ---- Idle requests ----

struct IdleRequest {
    bool step;        // a clock step: idle at untilMs, timers or not
    uint64_t untilMs; // the step's target, or the idle request's deadline
    std::function<void(const std::string&)> reply;
};
std::vector<IdleRequest>& IdleRequests() {
    static auto* v = new std::vector<IdleRequest>;
    return *v;
}

json Reply(json j) {
    j["ok"] = true;
    return j;
}

std::string Serve(const json& req, std::function<void(const std::string&)>& reply, bool* deferred) {
    if (!req.is_object())
        throw BadRequest{"a request is a JSON object"};
    auto opIt = req.find("op");
    if (opIt == req.end() || !opIt->is_string())
        throw BadRequest{"field 'op' must be a string"};
    std::string op = *opIt;
    if (op == "windows") {
        json list = json::array();
        for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
            list.push_back(json{{"hwnd", reinterpret_cast<uintptr_t>(h)},
                                {"title", Utf8(Text(h))},
                                {"visible", (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0},
                                {"foreground", GetForegroundWindow() == h},
                                {"rect", Rect(h)}});
        return Dump(Reply(json{{"windows", list}}));
    }
    if (op == "find") {
        std::u16string title = Utf16(StringField(req, "title"));
        for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
            if (Text(h) == title)
                return Dump(Reply(json{{"hwnd", reinterpret_cast<uintptr_t>(h)}}));
        return Dump(Reply(json{{"hwnd", nullptr}}));
    }
    if (op == "activate") {
        HWND w = WindowField(req);
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
        return Dump(Reply(json::object()));
    }
    if (op == "controls") {
        HWND w = WindowField(req);
        json list = json::array();
        for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            list.push_back(DescribeControl(c));
        return Dump(Reply(json{{"controls", list}}));
    }
    if (op == "cells") {
        HWND w = WindowField(req);
        HWND c = ControlField(w, req);
        if (Kind(c) != "listview")
            throw BadRequest{"control " + std::to_string(ControlId(c)) + " is no list view"};
        int rows = int(SendMessageW(c, LVM_GETITEMCOUNT, 0, 0));
        int cols = int(SendMessageW(c, LVM_GETCOLUMNCOUNT_TW, 0, 0));
        json list = json::array();
        for (int r = 0; r < rows; ++r) {
            json row = json::array();
            for (int k = 0; k < cols; ++k)
                row.push_back(Utf8(ItemText(c, r, k)));
            list.push_back(row);
        }
        return Dump(Reply(json{{"rows", list}}));
    }
    if (op == "tap") {
        int x = CoordField(Field(req, "x"), "x"), y = CoordField(Field(req, "y"), "y");
        Tap(x, y);
        return Dump(Reply(json::object()));
    }
    if (op == "drag") {
        const json& from = Field(req, "from");
        const json& to = Field(req, "to");
        if (!from.is_array() || from.size() != 2 || !to.is_array() || to.size() != 2)
            throw BadRequest{"fields 'from' and 'to' must be [x, y]"};
        int x0 = CoordField(from[0], "from"), y0 = CoordField(from[1], "from");
        int x1 = CoordField(to[0], "to"), y1 = CoordField(to[1], "to");
        StylusDown(x0, y0);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i)
            StylusMove(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        StylusUp(x1, y1);
        return Dump(Reply(json::object()));
    }
    if (op == "choose") {
        Choose(WindowField(req), req);
        return Dump(Reply(json::object()));
    }
    if (op == "command") {
        HWND w = WindowField(req);
        long long id = IntField(req, "id");
        if (id < 0 || id > 0xFFFF)
            throw BadRequest{"command ids run from 0 to 65535"};
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(WORD(id), 0), 0);
        return Dump(Reply(json::object()));
    }
    if (op == "minimize") {
        HWND w = WindowField(req);
        PostMessageW(w, WM_SIZE, SIZE_MINIMIZED, 0);
        return Dump(Reply(json::object()));
    }
    if (op == "screenshot") {
        std::string path = StringField(req, "path");
        if (path.empty())
            throw BadRequest{"field 'path' is empty"};
        UpdateScreen();
        Surface* screen = ScreenSurface();
        if (!screen || !SaveSurfacePng(screen, path.c_str()))
            throw BadRequest{"could not write " + path};
        return Dump(Reply(json::object()));
    }
    if (op == "cursor") {
        bool wait = GetCursor() && GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
        return Dump(Reply(json{{"cursor", wait ? "wait" : "none"}}));
    }
    if (op == "idle") {
        long long timeout = 10000;
        if (req.contains("timeout_ms")) {
            timeout = IntField(req, "timeout_ms");
            if (timeout < 0)
                throw BadRequest{"field 'timeout_ms' must not be negative"};
        }
        IdleRequests().push_back(
            IdleRequest{false, CurrentClock()->NowMs() + uint64_t(timeout), reply});
        *deferred = true;
        WakeUiLoop();
        return std::string();
    }
    throw BadRequest{"unknown op '" + op + "'"};
}

} // namespace

void HandleAutomationRequest(const std::string& jsonLine,
                             std::function<void(const std::string&)> reply) {
    std::string out;
    bool deferred = false;
    try {
        json req = json::parse(jsonLine);
        out = Serve(req, reply, &deferred);
    } catch (const BadRequest& e) {
        out = Error(e.text);
    } catch (const json::exception& e) {
        out = Error(std::string("malformed request: ") + e.what());
    } catch (const std::exception& e) {
        out = Error(e.what());
    }
    if (!deferred && reply)
        reply(out);
}

void RequestClockStep(uint64_t untilMs, std::function<void(const std::string&)> reply) {
    IdleRequests().push_back(IdleRequest{true, untilMs, std::move(reply)});
    WakeUiLoop();
}

bool ServeIdleRequests(uint64_t nextTimerDue, uint64_t* wakeAtMs) {
    *wakeAtMs = UINT64_MAX;
    auto& list = IdleRequests();
    if (list.empty())
        return false;
    uint64_t now = CurrentClock()->NowMs();
    bool acted = false;
    std::vector<IdleRequest> done;
    std::vector<std::string> replies;
    for (size_t i = 0; i < list.size();) {
        IdleRequest& r = list[i];
        std::string out;
        if (!r.step && nextTimerDue == UINT64_MAX)
            out = Dump(json{{"ok", true}});
        else if (r.step && now >= r.untilMs)
            out = Dump(json{{"ok", true}});
        else if (!r.step && now >= r.untilMs)
            out = Error("not idle: a timer is still set");
        if (out.empty()) {
            ++i;
            continue;
        }
        done.push_back(std::move(r));
        replies.push_back(out);
        list.erase(list.begin() + long(i));
    }
    for (size_t i = 0; i < done.size(); ++i) {
        if (done[i].reply)
            done[i].reply(replies[i]);
        acted = true;
    }
    if (list.empty())
        return acted;
    uint64_t target = nextTimerDue;
    for (auto& r : list)
        target = std::min(target, r.untilMs);
    if (auto* manual = dynamic_cast<ManualClock*>(CurrentClock())) {
        if (target > now && target != UINT64_MAX) {
            manual->Set(target);
            return true;
        }
        return acted;
    }
    *wakeAtMs = target;
    return acted;
}
