// Text: measuring, line breaking and drawing with the selected font.
#include "platform/gdi/gdi_internal.h"

#include <algorithm>
#include <string>

namespace tw::gdi {
namespace {

FontFace* FaceOf(DC* dc) {
    if (dc->st.font && dc->st.font->face)
        return dc->st.font->face;
    return ResolveFont(-11, FW_NORMAL, false, false, false, u"MS Sans Serif");
}

// One line to draw: its characters and, when a prefix marked one, the position of the
// character to underline.
struct Line {
    std::u32string text;
    int underline = -1;
};

std::u32string Decode(LPCWSTR s, int n) {
    std::u32string out;
    out.reserve(size_t(n));
    for (int i = 0; i < n; i++) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            i++;
        }
        out += c;
    }
    return out;
}

int Width(FontFace* f, const std::u32string& s, size_t from = 0, size_t to = std::u32string::npos) {
    int w = 0;
    to = std::min(to, s.size());
    for (size_t i = from; i < to; i++)
        w += GlyphOf(f, s[i]).advance;
    return w;
}

Line StripPrefix(const std::u32string& s) {
    Line l;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == U'&') {
            if (i + 1 < s.size() && s[i + 1] == U'&') {
                l.text += U'&';
                i++;
            } else if (i + 1 < s.size()) {
                l.underline = int(l.text.size());
            }
            continue;
        }
        l.text += s[i];
    }
    return l;
}

// Breaks one paragraph at blanks so that each line fits the width; a word wider than the
// width stands alone on its line.
void Wrap(FontFace* f, const std::u32string& para, int width, std::vector<std::u32string>& out) {
    size_t start = 0;
    while (true) {
        if (Width(f, para, start) <= width) {
            out.push_back(para.substr(start));
            return;
        }
        size_t lastBreak = std::u32string::npos;
        int w = 0;
        size_t i = start;
        for (; i < para.size(); i++) {
            if (para[i] == U' ')
                lastBreak = i;
            w += GlyphOf(f, para[i]).advance;
            if (w > width)
                break;
        }
        size_t end;
        if (lastBreak != std::u32string::npos && lastBreak > start) {
            end = lastBreak;
        } else {
            // No blank before the edge: the line runs to the next blank.
            end = para.find(U' ', i);
            if (end == std::u32string::npos) {
                out.push_back(para.substr(start));
                return;
            }
        }
        out.push_back(para.substr(start, end - start));
        start = end;
        while (start < para.size() && para[start] == U' ')
            start++;
        if (start >= para.size())
            return;
    }
}

void Ellipsize(FontFace* f, Line& l, int width) {
    if (Width(f, l.text) <= width)
        return;
    const std::u32string dots = U"...";
    int dw = Width(f, dots);
    size_t keep = l.text.size();
    while (keep > 0 && Width(f, l.text, 0, keep) + dw > width)
        keep--;
    l.text = l.text.substr(0, keep) + dots;
    if (l.underline >= int(keep))
        l.underline = -1;
}

RECT Intersect(RECT a, RECT b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

void BlendGlyph(DC* dc, const Glyph& g, int x, int y, const RECT& clip, uint32_t color) {
    Surface* s = TargetOf(dc);
    uint32_t* pixels = SurfacePixels(s);
    int sw = s->sdl->w;
    int x0 = std::max<int>(x, clip.left), x1 = std::min<int>(x + g.width, clip.right);
    int y0 = std::max<int>(y, clip.top), y1 = std::min<int>(y + g.height, clip.bottom);
    uint32_t cr = (color >> 16) & 0xFF, cg = (color >> 8) & 0xFF, cb = color & 0xFF;
    for (int yy = y0; yy < y1; yy++) {
        const uint8_t* m = g.mask.data() + size_t(yy - y) * g.width + (x0 - x);
        uint32_t* d = pixels + size_t(yy) * sw + x0;
        for (int xx = x0; xx < x1; xx++, m++, d++) {
            uint32_t a = *m;
            if (a == 0)
                continue;
            if (a == 255) {
                *d = color;
                continue;
            }
            uint32_t p = *d, ia = 255 - a;
            uint32_t r = (((p >> 16) & 0xFF) * ia + cr * a + 127) / 255;
            uint32_t gg = (((p >> 8) & 0xFF) * ia + cg * a + 127) / 255;
            uint32_t b = ((p & 0xFF) * ia + cb * a + 127) / 255;
            *d = (r << 16) | (gg << 8) | b;
        }
    }
}

// Draws one line with its top-left corner at device (x, y), within clip. dx, when given,
// replaces the advance of each character.
void DrawLine(DC* dc, FontFace* f, const Line& l, int x, int y, const RECT& clip, const int* dx) {
    if (!TargetOf(dc) || clip.left >= clip.right || clip.top >= clip.bottom)
        return;
    uint32_t color = ToPixel(dc->st.text);
    int pen = x;
    int ulStart = 0, ulEnd = 0;
    for (size_t i = 0; i < l.text.size(); i++) {
        const Glyph& g = GlyphOf(f, l.text[i]);
        if (!g.mask.empty())
            BlendGlyph(dc, g, pen + g.left, y, clip, color);
        int adv = dx ? dx[i] : g.advance;
        if (int(i) == l.underline) {
            ulStart = pen;
            ulEnd = pen + adv;
        }
        pen += adv;
    }
    auto hline = [&](int x0, int x1, int yy) {
        RECT r = Intersect(RECT{x0, yy, x1, yy + 1}, clip);
        if (r.left < r.right && r.top < r.bottom) {
            uint32_t* p = SurfacePixels(TargetOf(dc));
            int sw = TargetOf(dc)->sdl->w;
            std::fill(p + size_t(r.top) * sw + r.left, p + size_t(r.top) * sw + r.right, color);
        }
    };
    int base = y + f->ascent;
    if (ulEnd > ulStart)
        hline(ulStart, ulEnd, base + 1);
    if (f->underline)
        hline(x, pen, base + 1);
    if (f->strikeOut)
        hline(x, pen, base - f->ascent / 3);
}

} // namespace
} // namespace tw::gdi

using namespace tw::gdi;

int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    DC* dc = ToDC(hdc);
    if (!dc || !text || !rect)
        return 0;
    FontFace* f = FaceOf(dc);
    if (!f)
        return 0;
    int n = count < 0 ? int(std::char_traits<char16_t>::length(text)) : count;
    std::u32string all = Decode(text, n);
    int width = rect->right - rect->left;

    std::vector<std::u32string> raw;
    if (format & DT_SINGLELINE) {
        std::u32string one;
        for (char32_t c : all)
            if (c != U'\r' && c != U'\n')
                one += c;
        raw.push_back(one);
    } else {
        std::u32string para;
        auto flush = [&] {
            if (format & DT_WORDBREAK)
                Wrap(f, para, width, raw);
            else
                raw.push_back(para);
            para.clear();
        };
        for (size_t i = 0; i < all.size(); i++) {
            if (all[i] == U'\r')
                continue;
            if (all[i] == U'\n') {
                flush();
                continue;
            }
            para += all[i];
        }
        flush();
    }

    std::vector<Line> lines;
    int widest = 0;
    for (const std::u32string& r : raw) {
        Line l;
        if (format & DT_NOPREFIX)
            l.text = r;
        else
            l = StripPrefix(r);
        if ((format & DT_END_ELLIPSIS) && !(format & DT_CALCRECT))
            Ellipsize(f, l, width);
        widest = std::max(widest, Width(f, l.text));
        lines.push_back(std::move(l));
    }
    int total = int(lines.size()) * f->height;

    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    int y = rect->top;
    if (format & DT_VCENTER)
        y = rect->top + (rect->bottom - rect->top - total) / 2;
    else if (format & DT_BOTTOM)
        y = rect->bottom - total;

    POINT org = dc->st.org;
    RECT clip = DeviceClip(dc);
    if (!(format & DT_NOCLIP))
        clip = Intersect(clip, RECT{rect->left + org.x, rect->top + org.y, rect->right + org.x,
                                    rect->bottom + org.y});
    for (const Line& l : lines) {
        int lw = Width(f, l.text);
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (width - lw) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - lw;
        int dx = x + org.x, dy = y + org.y;
        if (dc->st.bkMode == OPAQUE) {
            RECT box = Intersect(RECT{dx, dy, dx + lw, dy + f->height}, clip);
            FillDevice(dc, box, dc->st.bk);
        }
        DrawLine(dc, f, l, dx, dy, clip, nullptr);
        y += f->height;
    }
    return total;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size) {
    DC* dc = ToDC(hdc);
    if (!dc || !size || (!text && count > 0))
        return FALSE;
    FontFace* f = FaceOf(dc);
    if (!f)
        return FALSE;
    std::u32string s = text ? Decode(text, std::max(0, count)) : std::u32string();
    size->cx = Width(f, s);
    size->cy = f->height;
    return TRUE;
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count,
                 const int* dx) {
    DC* dc = ToDC(hdc);
    if (!dc)
        return FALSE;
    FontFace* f = FaceOf(dc);
    if (!f)
        return FALSE;
    POINT org = dc->st.org;
    RECT clip = DeviceClip(dc);
    RECT dr{0, 0, 0, 0};
    if (rect)
        dr = RECT{rect->left + org.x, rect->top + org.y, rect->right + org.x, rect->bottom + org.y};
    if (rect && (options & ETO_OPAQUE))
        FillDevice(dc, dr, dc->st.bk);
    if (rect && (options & ETO_CLIPPED))
        clip = Intersect(clip, dr);
    if (!text || count == 0)
        return TRUE;
    Line l;
    l.text = Decode(text, int(count));
    // Advances given per UTF-16 unit; with surrogate pairs they no longer line up.
    const int* adv = (dx && l.text.size() == count) ? dx : nullptr;
    int w = 0;
    for (size_t i = 0; i < l.text.size(); i++)
        w += adv ? adv[i] : GlyphOf(f, l.text[i]).advance;
    int px = x + org.x, py = y + org.y;
    if (dc->st.bkMode == OPAQUE && !(rect && (options & ETO_OPAQUE)))
        FillDevice(dc, Intersect(RECT{px, py, px + w, py + f->height}, clip), dc->st.bk);
    DrawLine(dc, f, l, px, py, clip, adv);
    return TRUE;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm) {
    DC* dc = ToDC(hdc);
    if (!dc || !tm)
        return FALSE;
    FontFace* f = FaceOf(dc);
    if (!f)
        return FALSE;
    tm->tmHeight = f->height;
    tm->tmAscent = f->ascent;
    tm->tmDescent = f->height - f->ascent;
    tm->tmInternalLeading = std::max(0, f->height - f->em);
    tm->tmExternalLeading = 0;
    tm->tmAveCharWidth = f->aveCharWidth;
    tm->tmMaxCharWidth = f->maxCharWidth;
    tm->tmWeight = f->weight;
    return TRUE;
}
