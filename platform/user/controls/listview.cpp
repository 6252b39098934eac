// The list view in report view: columns with a header, rows of text cells, single
// selection by tap, kept sorted on request, scrolled by its own scroll bars or by dragging
// the rows. Columns wider together than the rows area scroll sideways, the header with
// them.
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

// The bar along the bottom edge when the columns are wider than the rows area. Counted in
// pixels: the columns' total width, the width shown, the first pixel column shown.
struct HScroll {
    static constexpr int kStep = 8; // an arrow tap: about one character

    RECT rect{};
    int total = 0;
    int page = 1;
    int pos = 0;
    enum Part { None, LeftArrow, RightArrow, PageLeft, PageRight, Thumb } pressed = None;
    int grabOffset = 0;

    int MaxPos() const { return total > page ? total - page : 0; }
    int Arrow() const { return std::min<int>(kScrollWidth, (rect.right - rect.left) / 2); }

    RECT ThumbRect() const {
        int left = rect.left + Arrow(), right = rect.right - Arrow();
        int track = right - left;
        if (total <= page || track <= 0)
            return RECT{left, rect.top, left, rect.bottom}; // no thumb
        int w = std::min(std::max(8, track * page / total), track);
        int x = left + (track - w) * pos / MaxPos();
        return RECT{x, rect.top, x + w, rect.bottom};
    }

    Part HitTest(int x, int y) const {
        if (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom)
            return None;
        if (x < rect.left + Arrow())
            return LeftArrow;
        if (x >= rect.right - Arrow())
            return RightArrow;
        RECT t = ThumbRect();
        if (t.right <= t.left)
            return None;
        if (x < t.left)
            return PageLeft;
        if (x >= t.right)
            return PageRight;
        return Thumb;
    }

    void Draw(HDC dc) const {
        Fill(dc, rect.left, rect.top, rect.right, rect.bottom, kTrack);
        HLine(dc, rect.left, rect.right, rect.top, kGrid);
        RECT lt{rect.left, rect.top, rect.left + Arrow(), rect.bottom};
        RECT rt{rect.right - Arrow(), rect.top, rect.right, rect.bottom};
        for (const RECT& r : {lt, rt}) {
            RaisedBox(dc, r);
            Frame(dc, r, kShadow);
        }
        if (pressed == LeftArrow)
            Fill(dc, lt.left + 1, lt.top + 1, lt.right - 1, lt.bottom - 1, kShadow);
        if (pressed == RightArrow)
            Fill(dc, rt.left + 1, rt.top + 1, rt.right - 1, rt.bottom - 1, kShadow);
        COLORREF arrow = total > page ? kText : kGrayText;
        DrawArrow(dc, lt, Arrow::Left, arrow);
        DrawArrow(dc, rt, Arrow::Right, arrow);
        RECT t = ThumbRect();
        if (t.right > t.left) {
            RaisedBox(dc, t);
            Frame(dc, t, kShadow);
        }
    }

    // Stylus down at (x, y): returns true when the position changed.
    bool Press(int x, int y) {
        int old = pos;
        pressed = HitTest(x, y);
        switch (pressed) {
            case LeftArrow: pos -= kStep; break;
            case RightArrow: pos += kStep; break;
            case PageLeft: pos -= std::max(kStep, page - kStep); break;
            case PageRight: pos += std::max(kStep, page - kStep); break;
            case Thumb: grabOffset = x - ThumbRect().left; break;
            case None: break;
        }
        pos = std::clamp(pos, 0, MaxPos());
        return pos != old;
    }

    // Stylus moved while it holds the thumb: returns true when the position changed.
    bool Drag(int x, int) {
        if (pressed != Thumb)
            return false;
        int old = pos;
        RECT t = ThumbRect();
        int room = (rect.right - rect.left - 2 * Arrow()) - (t.right - t.left);
        if (room > 0 && MaxPos() > 0) {
            int want = x - grabOffset - (rect.left + Arrow());
            pos = std::clamp((want * MaxPos() + room / 2) / room, 0, MaxPos());
        }
        return pos != old;
    }
    void Release() { pressed = None; }
};

struct ListView {
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    int rowH = 14;
    int headerH = 17;
    std::vector<Column> cols;
    std::vector<Row> rows;
    DWORD ex = 0;
    int top = 0;  // first row shown
    int left = 0; // first pixel column shown
    int selected = -1;
    bool redraw = true;
    bool invalid = false; // a repaint is already asked for
    // Stylus
    enum Mode { Idle, HeaderPress, RowPress, RowDrag, Scrolling, HScrolling } mode = Idle;
    int pressCol = -1;
    int pressX = 0;
    int pressY = 0;
    int pressTop = 0;
    int pressLeft = 0;
    bool dragSideways = false; // a drag of the rows moves them one way only
    VScroll sb;
    HScroll hsb;

    DWORD Style() const { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }
    bool HasHeader() const { return !(Style() & LVS_NOCOLUMNHEADER); }
    int HeaderHeight() const { return HasHeader() ? headerH : 0; }
    int Count() const { return int(rows.size()); }

    RECT Client() const {
        RECT c{};
        GetClientRect(hwnd, &c);
        return c;
    }
    int TotalWidth() const {
        int w = 0;
        for (const Column& col : cols)
            w += col.cx;
        return w;
    }

    // Which scroll bars the list shows. Each one takes room from the other's direction: a
    // bar along the bottom can leave too few rows, a bar at the side too narrow a view.
    struct Bars {
        bool v = false, h = false;
    };
    Bars Layout() const {
        RECT c = Client();
        int rowsHeight = int(c.bottom) - HeaderHeight();
        int total = TotalWidth();
        Bars b;
        b.v = Count() > std::max(0, rowsHeight) / rowH;
        b.h = total > int(c.right) - (b.v ? kScrollWidth : 0);
        b.v = Count() > std::max(0, rowsHeight - (b.h ? kScrollWidth : 0)) / rowH;
        b.h = total > int(c.right) - (b.v ? kScrollWidth : 0);
        return b;
    }
    // The right edge of the rows and the header, left of the vertical bar.
    int ContentRight() const { return int(Client().right) - (Layout().v ? kScrollWidth : 0); }
    // The bottom edge of the rows, above the horizontal bar.
    int RowsBottom() const { return int(Client().bottom) - (Layout().h ? kScrollWidth : 0); }
    int PerPage() const { return std::max(0, RowsBottom() - HeaderHeight()) / rowH; }
    int MaxTop() const { return std::max(0, Count() - PerPage()); }
    int MaxLeft() const { return std::max(0, TotalWidth() - ContentRight()); }
    // The column under x in client coordinates, the horizontal scroll taken into account.
    int ColumnAt(int clientX) const {
        int x = clientX + left;
        int edge = 0;
        for (size_t k = 0; k < cols.size(); k++) {
            if (x >= edge && x < edge + cols[k].cx)
                return int(k);
            edge += cols[k].cx;
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

    // Moves the first row or pixel column shown; tells the parent when it moved, so that
    // whatever it keeps over the rows can follow them.
    void ScrollTo(int newTop, int newLeft) {
        newTop = std::clamp(newTop, 0, MaxTop());
        newLeft = std::clamp(newLeft, 0, MaxLeft());
        if (newTop == top && newLeft == left)
            return;
        top = newTop;
        left = newLeft;
        Invalidate();
        NMHDR hdr{};
        NotifyParent(hwnd, LVN_ENDSCROLL, &hdr);
    }
    void SetTop(int t) { ScrollTo(t, left); }
    void SetLeft(int l) { ScrollTo(top, l); }
    // After the rows, the columns or the size changed: keep both scrolls in range.
    void ClampScroll() {
        top = std::clamp(top, 0, MaxTop());
        left = std::clamp(left, 0, MaxLeft());
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
        // Room for a cell per column at once: the other cells are set right after.
        row.cells.reserve(size_t(SubItemLimit()));
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
        ClampScroll();
        Invalidate();
        return TRUE;
    }

    void DeleteAll() {
        rows.clear();
        selected = -1;
        top = 0;
        ClampScroll();
        Invalidate();
    }

    BOOL ItemRect(int item, RECT* r) const {
        if (!r || item < 0 || item >= Count())
            return FALSE;
        int code = r->left;
        int y = HeaderHeight() + (item - top) * rowH;
        int right = code == LVIR_LABEL ? (cols.empty() ? 0 : cols[0].cx) : TotalWidth();
        *r = RECT{-left, y, right - left, y + rowH};
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
        ClampScroll();
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
        ClampScroll();
        Invalidate();
    }

    // ---- Painting --------------------------------------------------------------------

    // A cell's text sits inside its column with a small margin: the first column's text
    // starts near the row's left edge, the others keep clear of the line between columns.
    // Text is cut with an ellipsis only when it is wider than that; a column that lies
    // partly outside the view is clipped, its text left whole.
    static constexpr int kFirstMargin = 2;
    static constexpr int kMargin = 4;

    void DrawCell(HDC dc, const std::u16string& text, int fmt, int left, int right, int y,
                  bool first) {
        RECT r{left + (first ? kFirstMargin : kMargin), y, right - kMargin, y + rowH};
        if (r.right <= r.left || text.empty())
            return;
        UINT align = (fmt & LVCFMT_RIGHT) ? DT_RIGHT : (fmt & LVCFMT_CENTER) ? DT_CENTER : DT_LEFT;
        DrawTextW(dc, text.c_str(), int(text.size()), &r,
                  align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    void PaintHeader(HDC dc, int right) {
        Fill(dc, 0, 0, right, headerH, kFace);
        HLine(dc, 0, right, headerH - 1, kShadow);
        int x = -left;
        for (size_t k = 0; k < cols.size() && x < right; x += cols[k].cx, k++) {
            const Column& col = cols[k];
            if (x + col.cx <= 0)
                continue;
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
        }
    }

    void PaintRows(HDC dc, int right, int bottom) {
        int headerHeight = HeaderHeight();
        Fill(dc, 0, headerHeight, right, bottom, kWindow);
        bool fullRow = ex & LVS_EX_FULLROWSELECT;
        int total = TotalWidth();
        int y = headerHeight;
        for (int i = top; i < Count() && y < bottom; i++, y += rowH) {
            const Row& row = rows[size_t(i)];
            bool sel = i == selected;
            if (sel) {
                int selRight = fullRow ? total : (cols.empty() ? 0 : cols[0].cx);
                Fill(dc, -left, y, std::min(selRight - left, right), y + rowH, kSelection);
            }
            int x = -left;
            for (size_t k = 0; k < cols.size() && x < right; x += cols[k].cx, k++) {
                const Column& col = cols[k];
                if (x + col.cx <= 0)
                    continue;
                bool lit = sel && (fullRow || k == 0);
                SetTextColor(dc, lit ? kSelectionText : kText);
                if (col.subItem >= 0 && col.subItem < int(row.cells.size()))
                    DrawCell(dc, row.cells[size_t(col.subItem)], col.fmt, x, x + col.cx, y, k == 0);
            }
        }
        if (ex & LVS_EX_GRIDLINES) {
            for (int gy = headerHeight + rowH - 1; gy < bottom; gy += rowH)
                HLine(dc, 0, right, gy, kGrid);
            int x = -left;
            for (const Column& col : cols) {
                x += col.cx;
                if (x - 1 >= 0 && x - 1 < right)
                    VLine(dc, x - 1, headerHeight, bottom, kGrid);
            }
        }
    }

    void Paint(HDC dc) {
        RECT c = Client();
        ClampScroll();
        Bars bars = Layout();
        int right = ContentRight();
        int bottom = RowsBottom();
        int headerHeight = HeaderHeight();
        HGDIOBJ oldFont = SelectObject(dc, ControlFont(font));
        SetBkMode(dc, TRANSPARENT);

        // Rows and header are clipped to their own areas: a row partly below the view, or
        // a column partly right of it, must not draw over the scroll bars.
        int saved = SaveDC(dc);
        IntersectClipRect(dc, 0, headerHeight, right, bottom);
        PaintRows(dc, right, bottom);
        RestoreDC(dc, saved);
        if (headerHeight > 0) {
            saved = SaveDC(dc);
            IntersectClipRect(dc, 0, 0, right, headerHeight);
            PaintHeader(dc, right);
            RestoreDC(dc, saved);
        }
        if (bars.v) {
            sb.rect = RECT{right, 0, c.right, bottom};
            sb.total = Count();
            sb.page = PerPage();
            sb.pos = top;
            sb.Draw(dc);
        }
        if (bars.h) {
            hsb.rect = RECT{0, bottom, right, c.bottom};
            hsb.total = TotalWidth();
            hsb.page = right;
            hsb.pos = left;
            hsb.Draw(dc);
        }
        if (bars.v && bars.h) // the corner where the two bars meet
            Fill(dc, right, bottom, c.right, c.bottom, kFace);
        SelectObject(dc, oldFont);
    }

    // ---- Stylus ----------------------------------------------------------------------

    void Down(int x, int y) {
        SetCapture(hwnd);
        Bars bars = Layout();
        int right = ContentRight(), bottom = RowsBottom();
        if (x >= right || y >= bottom) {
            RECT c = Client();
            if (bars.v && x >= right && y < bottom) {
                mode = Scrolling;
                sb.rect = RECT{right, 0, c.right, bottom};
                sb.total = Count();
                sb.page = PerPage();
                sb.pos = top;
                bool moved = sb.Press(x, y);
                Invalidate();
                if (moved)
                    SetTop(sb.pos);
            } else if (bars.h && y >= bottom && x < right) {
                mode = HScrolling;
                hsb.rect = RECT{0, bottom, right, c.bottom};
                hsb.total = TotalWidth();
                hsb.page = right;
                hsb.pos = left;
                bool moved = hsb.Press(x, y);
                Invalidate();
                if (moved)
                    SetLeft(hsb.pos);
            }
            return; // the corner between the bars takes no tap
        }
        if (y < HeaderHeight()) {
            mode = HeaderPress;
            pressCol = ColumnAt(x);
            Invalidate();
            return;
        }
        mode = RowPress;
        pressX = x;
        pressY = y;
        pressTop = top;
        pressLeft = left;
        int item = top + (y - HeaderHeight()) / rowH;
        int cx = x + left;
        bool inRow = item < Count() && cx < TotalWidth() &&
                     ((ex & LVS_EX_FULLROWSELECT) || (!cols.empty() && cx < cols[0].cx));
        Select(inRow ? item : -1);
    }

    void Move(int x, int y) {
        switch (mode) {
            case Scrolling:
                if (sb.Drag(x, y))
                    SetTop(sb.pos);
                break;
            case HScrolling:
                if (hsb.Drag(x, y))
                    SetLeft(hsb.pos);
                break;
            case RowPress:
                if (std::abs(y - pressY) > rowH / 2 || std::abs(x - pressX) > rowH / 2) {
                    mode = RowDrag;
                    // The way the stylus set off decides: a drag down the list that wavers
                    // a little does not shift the columns, nor a sideways one the rows.
                    dragSideways = std::abs(x - pressX) > std::abs(y - pressY);
                }
                [[fallthrough]];
            case RowDrag:
                // The rows follow the stylus: up and down by whole rows, sideways by pixels.
                if (mode == RowDrag && dragSideways)
                    SetLeft(pressLeft - (x - pressX));
                else if (mode == RowDrag)
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
        hsb.Release();
        pressCol = -1;
        if (GetCapture() == hwnd)
            ReleaseCapture();
        if (was == HeaderPress || was == Scrolling || was == HScrolling)
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
            lv->ClampScroll();
            lv->Invalidate();
            return 0;
        case WM_LBUTTONDOWN: lv->Down(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_MOUSEMOVE: lv->Move(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_LBUTTONUP: lv->Up(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_CAPTURECHANGED:
            if (lv->mode != ListView::Idle && reinterpret_cast<HWND>(lp) != hwnd) {
                lv->mode = ListView::Idle;
                lv->sb.Release();
                lv->hsb.Release();
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
            // Sideways by pixels, up and down by whole rows (at least one).
            int dx = int(INT_PTR(wp)), dy = int(lp);
            int lines = dy / lv->rowH;
            if (lines == 0 && dy != 0)
                lines = dy > 0 ? 1 : -1;
            lv->ScrollTo(lv->top + lines, lv->left + dx);
            return TRUE;
        }
        case LVM_GETTOPINDEX: return lv->top;
        case LVM_GETORIGIN: {
            auto* pt = reinterpret_cast<POINT*>(lp);
            if (!pt)
                return FALSE;
            *pt = POINT{lv->left, 0};
            return TRUE;
        }
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
