// The list view in report view: columns with a header, rows of text cells, single
// selection by tap, kept sorted on request, scrolled by its own scroll bar or by dragging
// the rows.
#include "platform/user/controls/common.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tw_controls {
namespace {

struct Column {
    std::u16string text;
    int fmt = LVCFMT_LEFT;
    int cx = 50;
    int subItem = 0;
};

struct Row {
    std::vector<std::u16string> cells; // by subitem
    LPARAM param = 0;
    UINT state = 0;
};

struct ListView {
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    int rowH = 14;
    int headerH = 17;
    std::vector<Column> cols;
    std::vector<Row> rows;
    DWORD ex = 0;
    int top = 0;
    int selected = -1;
    bool redraw = true;
    bool invalid = false; // a repaint is already asked for
    // Stylus
    enum Mode { Idle, HeaderPress, RowPress, RowDrag, Scrolling } mode = Idle;
    int pressCol = -1;
    int pressY = 0;
    int pressTop = 0;
    VScroll sb;

    DWORD Style() const { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }
    bool HasHeader() const { return !(Style() & LVS_NOCOLUMNHEADER); }
    int HeaderHeight() const { return HasHeader() ? headerH : 0; }
    int Count() const { return int(rows.size()); }

    RECT Client() const {
        RECT c{};
        GetClientRect(hwnd, &c);
        return c;
    }
    int PerPage() const {
        RECT c = Client();
        return std::max(0, int(c.bottom - HeaderHeight()) / rowH);
    }
    bool Overflows() const { return Count() > PerPage(); }
    int ContentRight() const {
        RECT c = Client();
        return int(c.right) - (Overflows() ? kScrollWidth : 0);
    }
    int MaxTop() const { return std::max(0, Count() - PerPage()); }
    int TotalWidth() const {
        int w = 0;
        for (const Column& col : cols)
            w += col.cx;
        return w;
    }
    int ColumnAt(int x) const {
        int left = 0;
        for (size_t k = 0; k < cols.size(); k++) {
            if (x >= left && x < left + cols[k].cx)
                return int(k);
            left += cols[k].cx;
        }
        return -1;
    }
    int SubItemLimit() const { return std::max<int>(1, int(cols.size())); }

    void Invalidate() {
        if (!redraw || invalid)
            return;
        invalid = true;
        InvalidateRect(hwnd, nullptr, FALSE);
    }

    // Moves the first row shown; tells the parent when it moved, so that whatever it
    // keeps over the rows can follow them.
    void SetTop(int t) {
        t = std::clamp(t, 0, MaxTop());
        if (t == top)
            return;
        top = t;
        Invalidate();
        NMHDR hdr{};
        NotifyParent(hwnd, LVN_ENDSCROLL, &hdr);
    }

    void NotifyItem(UINT code, int item, int subItem, UINT newState, UINT oldState, POINT pt) {
        NMLISTVIEW nm{};
        nm.iItem = item;
        nm.iSubItem = subItem;
        nm.uNewState = newState;
        nm.uOldState = oldState;
        nm.uChanged = code == LVN_ITEMCHANGED ? LVIF_STATE : 0;
        nm.ptAction = pt;
        if (item >= 0 && item < Count())
            nm.lParam = rows[size_t(item)].param;
        NotifyParent(hwnd, code, &nm.hdr);
    }

    // Single selection: selecting a row clears the one selected before.
    void Select(int item) {
        if (item >= Count())
            item = -1;
        if (item == selected)
            return;
        int old = selected;
        const UINT bits = LVIS_SELECTED | LVIS_FOCUSED;
        if (old >= 0)
            rows[size_t(old)].state &= ~bits;
        if (item >= 0)
            rows[size_t(item)].state |= bits;
        selected = item;
        Invalidate();
        HWND self = hwnd;
        if (old >= 0)
            NotifyItem(LVN_ITEMCHANGED, old, 0, 0, bits, POINT{0, 0});
        if (item >= 0 && IsWindow(self))
            NotifyItem(LVN_ITEMCHANGED, item, 0, bits, 0, POINT{0, 0});
    }

    // Where a sorted list puts a new first cell: after every row whose key is not greater
    // (not smaller, descending), so rows with equal keys keep the order they came in.
    int SortedPosition(const std::u16string& key) const {
        DWORD st = Style();
        bool desc = (st & LVS_SORTDESCENDING) && !(st & LVS_SORTASCENDING);
        auto first = [](const Row& r) -> const std::u16string& {
            static const std::u16string empty;
            return r.cells.empty() ? empty : r.cells[0];
        };
        auto it = std::upper_bound(rows.begin(), rows.end(), key,
                                   [&](const std::u16string& k, const Row& r) {
                                       int c = CompareNoCase(k, first(r));
                                       return desc ? c > 0 : c < 0;
                                   });
        return int(it - rows.begin());
    }

    int InsertItem(const LVITEMW* item) {
        if (!item || item->iSubItem != 0)
            return -1;
        Row row;
        row.cells.resize(1);
        if (item->mask & LVIF_TEXT)
            row.cells[0] = TextOf(item->pszText);
        if (item->mask & LVIF_PARAM)
            row.param = item->lParam;
        int pos;
        if (Style() & (LVS_SORTASCENDING | LVS_SORTDESCENDING))
            pos = SortedPosition(row.cells[0]);
        else if (item->iItem < 0)
            return -1;
        else
            pos = std::min(item->iItem, Count());
        rows.insert(rows.begin() + pos, std::move(row));
        if (selected >= pos)
            selected++;
        if ((item->mask & LVIF_STATE) && (item->stateMask & item->state & LVIS_SELECTED))
            Select(pos);
        Invalidate();
        return pos;
    }

    BOOL SetText(int item, int subItem, LPCWSTR text) {
        if (item < 0 || item >= Count() || subItem < 0 || subItem >= SubItemLimit())
            return FALSE;
        Row& r = rows[size_t(item)];
        if (int(r.cells.size()) <= subItem)
            r.cells.resize(size_t(subItem) + 1);
        r.cells[size_t(subItem)] = TextOf(text);
        Invalidate();
        return TRUE;
    }

    const std::u16string& Cell(int item, int subItem) const {
        static const std::u16string empty;
        const Row& r = rows[size_t(item)];
        if (subItem < 0 || subItem >= int(r.cells.size()))
            return empty;
        return r.cells[size_t(subItem)];
    }

    int GetText(int item, LVITEMW* lv) const {
        if (!lv)
            return 0;
        if (item < 0 || item >= Count()) {
            CopyOut(std::u16string(), lv->pszText, lv->cchTextMax);
            return 0;
        }
        return CopyOut(Cell(item, lv->iSubItem), lv->pszText, lv->cchTextMax);
    }

    void SetState(int item, UINT state, UINT mask) {
        if (item < 0 || item >= Count())
            return;
        if (mask & LVIS_SELECTED) {
            if (state & LVIS_SELECTED)
                Select(item);
            else if (item == selected)
                Select(-1);
        }
        if (item < Count()) {
            UINT other = mask & ~UINT(LVIS_SELECTED);
            rows[size_t(item)].state = (rows[size_t(item)].state & ~other) | (state & other);
            Invalidate();
        }
    }

    BOOL SetItem(const LVITEMW* lv) {
        if (!lv || lv->iItem < 0 || lv->iItem >= Count())
            return FALSE;
        if ((lv->mask & LVIF_TEXT) && !SetText(lv->iItem, lv->iSubItem, lv->pszText))
            return FALSE;
        if (lv->iSubItem == 0) {
            if (lv->mask & LVIF_PARAM)
                rows[size_t(lv->iItem)].param = lv->lParam;
            if (lv->mask & LVIF_STATE)
                SetState(lv->iItem, lv->state, lv->stateMask);
        }
        return TRUE;
    }

    BOOL GetItem(LVITEMW* lv) const {
        if (!lv || lv->iItem < 0 || lv->iItem >= Count())
            return FALSE;
        const Row& r = rows[size_t(lv->iItem)];
        if (lv->mask & LVIF_TEXT)
            CopyOut(Cell(lv->iItem, lv->iSubItem), lv->pszText, lv->cchTextMax);
        if (lv->mask & LVIF_PARAM)
            lv->lParam = r.param;
        if (lv->mask & LVIF_STATE)
            lv->state = r.state & lv->stateMask;
        return TRUE;
    }

    BOOL DeleteItem(int item) {
        if (item < 0 || item >= Count())
            return FALSE;
        rows.erase(rows.begin() + item);
        if (selected == item)
            selected = -1;
        else if (selected > item)
            selected--;
        top = std::clamp(top, 0, MaxTop());
        Invalidate();
        return TRUE;
    }

    void DeleteAll() {
        rows.clear();
        selected = -1;
        top = 0;
        Invalidate();
    }

    BOOL ItemRect(int item, RECT* r) const {
        if (!r || item < 0 || item >= Count())
            return FALSE;
        int code = r->left;
        int y = HeaderHeight() + (item - top) * rowH;
        if (code == LVIR_LABEL) {
            int w = cols.empty() ? 0 : cols[0].cx;
            *r = RECT{0, y, w, y + rowH};
        } else {
            *r = RECT{0, y, TotalWidth(), y + rowH};
        }
        return TRUE;
    }

    BOOL EnsureVisible(int item) {
        if (item < 0 || item >= Count())
            return FALSE;
        int per = std::max(1, PerPage());
        if (item < top)
            SetTop(item);
        else if (item >= top + per)
            SetTop(item - per + 1);
        return TRUE;
    }

    int InsertColumn(int index, const LVCOLUMNW* c) {
        if (!c || index < 0)
            return -1;
        Column col;
        index = std::min<int>(index, int(cols.size()));
        col.subItem = (c->mask & LVCF_SUBITEM) ? c->iSubItem : index;
        if (c->mask & LVCF_FMT)
            col.fmt = c->fmt;
        if (c->mask & LVCF_WIDTH)
            col.cx = std::max(0, c->cx);
        if (c->mask & LVCF_TEXT)
            col.text = TextOf(c->pszText);
        cols.insert(cols.begin() + index, std::move(col));
        Invalidate();
        return index;
    }

    BOOL GetColumn(int index, LVCOLUMNW* c) const {
        if (!c || index < 0 || index >= int(cols.size()))
            return FALSE;
        const Column& col = cols[size_t(index)];
        if (c->mask & LVCF_FMT)
            c->fmt = col.fmt;
        if (c->mask & LVCF_WIDTH)
            c->cx = col.cx;
        if (c->mask & LVCF_SUBITEM)
            c->iSubItem = col.subItem;
        if (c->mask & LVCF_TEXT)
            CopyOut(col.text, c->pszText, c->cchTextMax);
        return TRUE;
    }

    void SetFont(HFONT f) {
        font = f;
        int h = FontHeight(font);
        rowH = h + 1;
        headerH = h + 4;
        top = std::clamp(top, 0, MaxTop());
        Invalidate();
    }

    // ---- Painting --------------------------------------------------------------------

    void DrawCell(HDC dc, const std::u16string& text, int fmt, int left, int right, int y,
                  bool first) {
        RECT r{left + (first ? 2 : 6), y, right - 6, y + rowH};
        if (fmt & LVCFMT_RIGHT)
            r.right = right - 6;
        if (r.right <= r.left || text.empty())
            return;
        UINT align = (fmt & LVCFMT_RIGHT) ? DT_RIGHT : (fmt & LVCFMT_CENTER) ? DT_CENTER : DT_LEFT;
        DrawTextW(dc, text.c_str(), int(text.size()), &r,
                  align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    void PaintHeader(HDC dc, int right) {
        Fill(dc, 0, 0, right, headerH, kFace);
        HLine(dc, 0, right, headerH - 1, kShadow);
        int x = 0;
        for (size_t k = 0; k < cols.size() && x < right; k++) {
            const Column& col = cols[k];
            RECT r{x, 0, x + col.cx, headerH - 1};
            if (mode == HeaderPress && pressCol == int(k)) {
                Fill(dc, r.left, r.top, r.right, r.bottom, kShadow);
                SetTextColor(dc, kSelectionText);
            } else {
                HLine(dc, r.left, r.right, 0, kHighlight);
                VLine(dc, r.left, 0, r.bottom, kHighlight);
                SetTextColor(dc, kText);
            }
            VLine(dc, r.right - 1, 1, r.bottom - 1, kShadow);
            RECT t{r.left + 4, r.top, r.right - 4, r.bottom};
            UINT align = (col.fmt & LVCFMT_RIGHT)    ? DT_RIGHT
                         : (col.fmt & LVCFMT_CENTER) ? DT_CENTER
                                                     : DT_LEFT;
            if (t.right > t.left)
                DrawTextW(dc, col.text.c_str(), int(col.text.size()), &t,
                          align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            x += col.cx;
        }
    }

    void Paint(HDC dc) {
        RECT c = Client();
        top = std::clamp(top, 0, MaxTop());
        int right = ContentRight();
        int headerHeight = HeaderHeight();
        HGDIOBJ oldFont = SelectObject(dc, ControlFont(font));
        SetBkMode(dc, TRANSPARENT);
        Fill(dc, 0, headerHeight, right, c.bottom, kWindow);

        bool fullRow = ex & LVS_EX_FULLROWSELECT;
        int total = TotalWidth();
        int y = headerHeight;
        for (int i = top; i < Count() && y < c.bottom; i++, y += rowH) {
            const Row& row = rows[size_t(i)];
            bool sel = i == selected;
            if (sel) {
                int selRight = fullRow ? total : (cols.empty() ? 0 : cols[0].cx);
                Fill(dc, 0, y, std::min(selRight, right), y + rowH, kSelection);
            }
            int x = 0;
            for (size_t k = 0; k < cols.size() && x < right; k++) {
                const Column& col = cols[k];
                bool lit = sel && (fullRow || k == 0);
                SetTextColor(dc, lit ? kSelectionText : kText);
                if (col.subItem >= 0 && col.subItem < int(row.cells.size()))
                    DrawCell(dc, row.cells[size_t(col.subItem)], col.fmt, x,
                             std::min(x + col.cx, right), y, k == 0);
                x += col.cx;
            }
        }
        if (ex & LVS_EX_GRIDLINES) {
            for (int gy = headerHeight + rowH - 1; gy < c.bottom; gy += rowH)
                HLine(dc, 0, right, gy, kGrid);
            int x = 0;
            for (const Column& col : cols) {
                x += col.cx;
                if (x - 1 < right)
                    VLine(dc, x - 1, headerHeight, c.bottom, kGrid);
            }
        }
        if (headerHeight > 0)
            PaintHeader(dc, right);
        if (Overflows()) {
            sb.rect = RECT{right, 0, c.right, c.bottom};
            sb.total = Count();
            sb.page = PerPage();
            sb.pos = top;
            sb.Draw(dc);
        }
        SelectObject(dc, oldFont);
    }

    // ---- Stylus ----------------------------------------------------------------------

    void Down(int x, int y) {
        SetCapture(hwnd);
        if (Overflows() && x >= ContentRight()) {
            mode = Scrolling;
            RECT c = Client();
            sb.rect = RECT{ContentRight(), 0, c.right, c.bottom};
            sb.total = Count();
            sb.page = PerPage();
            sb.pos = top;
            bool moved = sb.Press(x, y);
            Invalidate();
            if (moved)
                SetTop(sb.pos);
            return;
        }
        if (y < HeaderHeight()) {
            mode = HeaderPress;
            pressCol = ColumnAt(x);
            Invalidate();
            return;
        }
        mode = RowPress;
        pressY = y;
        pressTop = top;
        int item = top + (y - HeaderHeight()) / rowH;
        bool inRow = item < Count() && x < TotalWidth() &&
                     ((ex & LVS_EX_FULLROWSELECT) || (!cols.empty() && x < cols[0].cx));
        Select(inRow ? item : -1);
    }

    void Move(int x, int y) {
        switch (mode) {
            case Scrolling:
                if (sb.Drag(x, y))
                    SetTop(sb.pos);
                break;
            case RowPress:
                if (std::abs(y - pressY) > rowH / 2)
                    mode = RowDrag;
                [[fallthrough]];
            case RowDrag:
                if (mode == RowDrag)
                    SetTop(pressTop - (y - pressY) / rowH);
                break;
            default: break;
        }
    }

    void Up(int x, int y) {
        Mode was = mode;
        int col = pressCol;
        mode = Idle;
        sb.Release();
        pressCol = -1;
        if (GetCapture() == hwnd)
            ReleaseCapture();
        if (was == HeaderPress || was == Scrolling)
            Invalidate();
        if (was == HeaderPress && col >= 0 && y >= 0 && y < HeaderHeight() && ColumnAt(x) == col)
            NotifyItem(LVN_COLUMNCLICK, -1, col, 0, 0, POINT{x, y});
        else if (was == RowPress)
            NotifyItem(NM_CLICK, selected, 0, 0, 0, POINT{x, y});
    }
};

LRESULT ListViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    ListView* lv = StateOf<ListView>(hwnd);
    if (!lv) {
        if (msg != WM_CREATE)
            return DefWindowProcW(hwnd, msg, wp, lp);
        lv = new ListView;
        lv->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(lv));
        lv->SetFont(nullptr);
        return 0;
    }
    switch (msg) {
        case WM_DESTROY:
            SetWindowLongPtrW(hwnd, 0, 0);
            delete lv;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            lv->invalid = false;
            if (dc && lv->redraw)
                lv->Paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1; // the paint covers every pixel
        case WM_SETREDRAW:
            lv->redraw = wp != 0;
            if (lv->redraw) {
                lv->invalid = false;
                lv->Invalidate();
            }
            return 0;
        case WM_SETFONT: lv->SetFont(reinterpret_cast<HFONT>(wp)); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(lv->font);
        case WM_SIZE:
            lv->top = std::clamp(lv->top, 0, lv->MaxTop());
            lv->Invalidate();
            return 0;
        case WM_LBUTTONDOWN: lv->Down(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_MOUSEMOVE: lv->Move(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_LBUTTONUP: lv->Up(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_CAPTURECHANGED:
            if (lv->mode != ListView::Idle && reinterpret_cast<HWND>(lp) != hwnd) {
                lv->mode = ListView::Idle;
                lv->sb.Release();
                lv->Invalidate();
            }
            return 0;

        case LVM_GETITEMCOUNT: return lv->Count();
        case LVM_INSERTITEMW: return lv->InsertItem(reinterpret_cast<const LVITEMW*>(lp));
        case LVM_SETITEMTEXTW: {
            auto* item = reinterpret_cast<const LVITEMW*>(lp);
            return item ? lv->SetText(int(wp), item->iSubItem, item->pszText) : FALSE;
        }
        case LVM_GETITEMTEXTW: return lv->GetText(int(wp), reinterpret_cast<LVITEMW*>(lp));
        case LVM_SETITEMW: return lv->SetItem(reinterpret_cast<const LVITEMW*>(lp));
        case LVM_GETITEMW: return lv->GetItem(reinterpret_cast<LVITEMW*>(lp));
        case LVM_DELETEITEM: return lv->DeleteItem(int(wp));
        case LVM_DELETEALLITEMS: lv->DeleteAll(); return TRUE;
        case LVM_GETITEMRECT: return lv->ItemRect(int(wp), reinterpret_cast<RECT*>(lp));
        case LVM_ENSUREVISIBLE: return lv->EnsureVisible(int(wp));
        case LVM_SCROLL: {
            int dy = int(lp);
            int lines = dy / lv->rowH;
            if (lines == 0 && dy != 0)
                lines = dy > 0 ? 1 : -1;
            lv->SetTop(lv->top + lines);
            return TRUE;
        }
        case LVM_GETTOPINDEX: return lv->top;
        case LVM_GETCOUNTPERPAGE: return lv->PerPage();
        case LVM_SETITEMSTATE: {
            auto* item = reinterpret_cast<const LVITEMW*>(lp);
            if (!item)
                return FALSE;
            int index = int(INT_PTR(wp));
            if (index == -1) {
                for (int i = 0; i < lv->Count(); i++)
                    lv->SetState(i, item->state, item->stateMask);
                return TRUE;
            }
            if (index < 0 || index >= lv->Count())
                return FALSE;
            lv->SetState(index, item->state, item->stateMask);
            return TRUE;
        }
        case LVM_GETITEMSTATE: {
            int index = int(wp);
            if (index < 0 || index >= lv->Count())
                return 0;
            return lv->rows[size_t(index)].state & UINT(lp);
        }
        case LVM_GETNEXTITEM: {
            int start = int(INT_PTR(wp));
            for (int i = std::max(0, start + 1); i < lv->Count(); i++)
                if (!(lp & LVNI_SELECTED) || (lv->rows[size_t(i)].state & LVIS_SELECTED))
                    return i;
            return -1;
        }
        case LVM_GETCOLUMNWIDTH: {
            int index = int(wp);
            return index >= 0 && index < int(lv->cols.size()) ? lv->cols[size_t(index)].cx : 0;
        }
        case LVM_GETHEADER: return 0; // the header is drawn by the list itself
        case LVM_INSERTCOLUMNW:
            return lv->InsertColumn(int(wp), reinterpret_cast<const LVCOLUMNW*>(lp));
        case LVM_GETCOLUMNW: return lv->GetColumn(int(wp), reinterpret_cast<LVCOLUMNW*>(lp));
        case LVM_GETCOLUMNCOUNT_TW: return LRESULT(lv->cols.size());
        case LVM_GETEXTENDEDLISTVIEWSTYLE: return lv->ex;
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            DWORD old = lv->ex;
            DWORD mask = wp ? DWORD(wp) : 0xFFFFFFFFu;
            lv->ex = (old & ~mask) | (DWORD(lp) & mask);
            lv->Invalidate();
            return old;
        }
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

} // namespace

void RegisterListView() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ListViewProc;
    wc.cbWndExtra = sizeof(void*);
    wc.lpszClassName = WC_LISTVIEWW;
    RegisterClassW(&wc);
}

} // namespace tw_controls
