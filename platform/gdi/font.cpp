// Fonts: faces found through fontconfig, rasterised by SDL_ttf, glyphs kept per face.
#include "platform/gdi/gdi_internal.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace tw::gdi {
namespace {

std::string Utf8(LPCWSTR s) {
    std::string out;
    for (; s && *s; s++) {
        char32_t c = *s;
        if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD; // faces are named in the basic plane
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// The handheld's faces and their closest free counterparts: Liberation Sans keeps the
// widths of the handheld's sans-serif faces, so texts fit their controls as they did.
std::string FreeFamily(const std::string& face) {
    static const std::map<std::string, std::string> map = {
        {"", "Liberation Sans"},
        {"tahoma", "Liberation Sans"},
        {"ms sans serif", "Liberation Sans"},
        {"ms shell dlg", "Liberation Sans"},
        {"ms shell dlg 2", "Liberation Sans"},
        {"system", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"verdana", "Liberation Sans"},
        {"segoe ui", "Liberation Sans"},
        {"times new roman", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
        {"courier", "Liberation Mono"},
    };
    auto it = map.find(Lower(face));
    return it == map.end() ? face : it->second;
}

struct FileMatch {
    std::string file;
    int index = 0;
    bool bold = false;   // the file's own weight is bold
    bool italic = false; // the file is an italic or oblique face
};

FileMatch MatchFile(const std::string& family, bool bold, bool italic) {
    static std::map<std::string, FileMatch> cache;
    std::string key = family + (bold ? "|b" : "|") + (italic ? "i" : "");
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    FileMatch m;
    static bool init = FcInit();
    if (init) {
        FcPattern* pat = FcPatternCreate();
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult res;
        FcPattern* found = FcFontMatch(nullptr, pat, &res);
        if (found) {
            FcChar8* file = nullptr;
            int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch)
                m.file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(found, FC_INDEX, 0, &m.index);
            FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(found, FC_SLANT, 0, &slant);
            m.bold = weight >= FC_WEIGHT_DEMIBOLD;
            m.italic = slant != FC_SLANT_ROMAN;
            FcPatternDestroy(found);
        }
        FcPatternDestroy(pat);
    }
    cache[key] = m;
    return m;
}

// The cell height of a face per pixel of em (ascent + descent over the em).
double CellPerEm(const FileMatch& m) {
    static std::map<std::string, double> cache;
    std::string key = m.file + "#" + std::to_string(m.index);
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    double ratio = 1.15;
    if (TTF_Font* big = TTF_OpenFontIndex(m.file.c_str(), 1000, m.index)) {
        ratio = (TTF_FontAscent(big) - TTF_FontDescent(big)) / 1000.0;
        TTF_CloseFont(big);
    }
    cache[key] = ratio;
    return ratio;
}

void Measure(FontFace* f) {
    int total = 0, n = 0, widest = 0;
    for (char32_t c = 0x20; c < 0x7F; c++) {
        const Glyph& g = GlyphOf(f, c);
        widest = std::max(widest, g.advance);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            total += g.advance;
            n++;
        }
    }
    f->aveCharWidth = n ? (total + n / 2) / n : 0;
    f->maxCharWidth = widest;
}

// Coverage blended linearly looks thin and grey on the small white screen; lifting the
// partial coverage keeps the edges smooth while the stems read as solid strokes.
uint8_t Contrast(uint8_t a) {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; i++)
            t[i] = uint8_t(std::lround(255.0 * std::pow(i / 255.0, 1.0 / 1.5)));
        return t;
    }();
    return table[a];
}

} // namespace

void EnsureTtf() {
    static bool done = false;
    if (!done) {
        TTF_Init();
        done = true;
    }
}

FontFace* ResolveFont(int height, int weight, bool italic, bool underline, bool strikeOut,
                      LPCWSTR face) {
    EnsureTtf();
    bool bold = weight >= 600;
    std::string family = FreeFamily(Utf8(face));
    FileMatch m = MatchFile(family, bold, italic);
    if (m.file.empty())
        m = MatchFile("sans-serif", bold, italic);
    if (m.file.empty())
        return nullptr;
    // A negative height is the em itself; a positive one is the whole cell, and the face
    // gets the largest whole-pixel em whose cell does not exceed it.
    int em;
    if (height < 0)
        em = -height;
    else if (height == 0)
        em = 11;
    else
        em = std::max(1, int(std::floor(height / CellPerEm(m) + 1e-6)));
    em = std::min(em, 400);

    static std::map<std::string, std::unique_ptr<FontFace>> faces;
    std::string key = m.file + "#" + std::to_string(m.index) + "@" + std::to_string(em) +
                      (bold ? "b" : "-") + (italic ? "i" : "-") + (underline ? "u" : "-") +
                      (strikeOut ? "s" : "-");
    auto it = faces.find(key);
    if (it != faces.end())
        return it->second.get();
    TTF_Font* ttf = TTF_OpenFontIndex(m.file.c_str(), em, m.index);
    if (!ttf)
        return nullptr;
    int style = TTF_STYLE_NORMAL;
    if (bold && !m.bold)
        style |= TTF_STYLE_BOLD;
    if (italic && !m.italic)
        style |= TTF_STYLE_ITALIC;
    TTF_SetFontStyle(ttf, style);
    TTF_SetFontHinting(ttf, TTF_HINTING_NORMAL);
    TTF_SetFontKerning(ttf, 0); // the system places glyphs by their advances alone
    auto f = std::make_unique<FontFace>();
    f->ttf = ttf;
    f->em = em;
    f->ascent = TTF_FontAscent(ttf);
    f->descent = -TTF_FontDescent(ttf);
    f->height = std::max(TTF_FontHeight(ttf), f->ascent + f->descent);
    f->weight = bold ? FW_BOLD : FW_NORMAL;
    f->underline = underline;
    f->strikeOut = strikeOut;
    Measure(f.get());
    FontFace* out = f.get();
    faces[key] = std::move(f);
    return out;
}

const Glyph& GlyphOf(FontFace* f, char32_t ch) {
    Glyph* g;
    if (ch < 256) {
        g = &f->latin[ch];
    } else {
        g = &f->others[ch];
    }
    if (g->ready)
        return *g;
    g->ready = true;
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    if (TTF_GlyphMetrics32(f->ttf, Uint32(ch), &minx, &maxx, &miny, &maxy, &advance) != 0)
        return *g;
    g->advance = advance;
    if (ch == ' ' || ch < 0x20)
        return *g;
    SDL_Color white{255, 255, 255, 255};
    SDL_Surface* s = TTF_RenderGlyph32_Blended(f->ttf, Uint32(ch), white);
    if (!s)
        return *g;
    // Rendered glyph surfaces begin at the pen, or at the left bearing when it is negative,
    // and span the whole cell from its top.
    g->left = std::min(0, minx);
    g->width = s->w;
    g->height = s->h;
    g->mask.resize(size_t(s->w) * s->h);
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; y++) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < s->w; x++)
            g->mask[size_t(y) * s->w + x] = Contrast(uint8_t(row[x] >> 24));
    }
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
    return *g;
}

} // namespace tw::gdi
