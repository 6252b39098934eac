// UTF-16 text routines: bounded copies, the 8-bit widening, UTF-8, tokenizer, numbers.
#include "platform/base/base.h"

#include <climits>
#include <cstring>

size_t WcsLen(LPCWSTR s) {
    if (!s)
        return 0;
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

int WcsCmp(LPCWSTR a, LPCWSTR b) {
    if (!a)
        a = u"";
    if (!b)
        b = u"";
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return (int)*a - (int)*b;
}

int WcsCopy(WCHAR* dst, size_t cap, LPCWSTR src) {
    if (!dst || cap == 0)
        return 0;
    dst[0] = 0;
    return WcsAppend(dst, cap, src);
}

int WcsAppend(WCHAR* dst, size_t cap, LPCWSTR src) {
    if (!dst || cap == 0)
        return 0;
    size_t n = 0;
    while (n < cap && dst[n])
        ++n;
    if (n == cap) { // not terminated within its capacity: terminate it where it must end
        dst[cap - 1] = 0;
        return 0;
    }
    if (!src)
        return 1;
    while (*src) {
        if (n + 1 >= cap) {
            dst[n] = 0;
            return 0;
        }
        dst[n++] = *src++;
    }
    dst[n] = 0;
    return 1;
}

// Bytes 0x80..0x9F of Windows-1252. The five bytes the code page leaves open (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) keep their own value as a C1 control character.
static const WCHAR kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

WCHAR Cp1252ToWide(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F)
        return kCp1252High[b - 0x80];
    return (WCHAR)b;
}

size_t WidenHs(WCHAR* dst, size_t cap, const char* src) {
    if (!dst || cap == 0)
        return 0;
    size_t n = 0;
    if (src) {
        while (src[n] && n + 1 < cap) {
            dst[n] = Cp1252ToWide((unsigned char)src[n]);
            ++n;
        }
    }
    dst[n] = 0;
    return n;
}

// Reads one code point from UTF-16, replacing an unpaired surrogate with U+FFFD.
static char32_t NextUtf16(LPCWSTR& s) {
    char32_t c = *s++;
    if (c >= 0xD800 && c <= 0xDBFF) {
        if (*s >= 0xDC00 && *s <= 0xDFFF)
            return 0x10000 + ((c - 0xD800) << 10) + (*s++ - 0xDC00);
        return 0xFFFD;
    }
    if (c >= 0xDC00 && c <= 0xDFFF)
        return 0xFFFD;
    return c;
}

static int EncodeUtf8(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = (char)c;
        return 1;
    }
    if (c < 0x800) {
        out[0] = (char)(0xC0 | (c >> 6));
        out[1] = (char)(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = (char)(0xE0 | (c >> 12));
        out[1] = (char)(0x80 | ((c >> 6) & 0x3F));
        out[2] = (char)(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = (char)(0xF0 | (c >> 18));
    out[1] = (char)(0x80 | ((c >> 12) & 0x3F));
    out[2] = (char)(0x80 | ((c >> 6) & 0x3F));
    out[3] = (char)(0x80 | (c & 0x3F));
    return 4;
}

size_t NarrowUtf8(char* dst, size_t cap, LPCWSTR src) {
    size_t n = 0;
    bool measure = !dst;
    if (!measure && cap == 0)
        return 0;
    if (src) {
        while (*src) {
            char buf[4];
            int len = EncodeUtf8(NextUtf16(src), buf);
            if (!measure && n + len + 1 > cap)
                break; // never cut a character in half
            if (!measure)
                memcpy(dst + n, buf, len);
            n += len;
        }
    }
    if (!measure)
        dst[n] = 0;
    return n;
}

// Reads one code point from UTF-8; a malformed or overlong sequence yields U+FFFD and
// consumes one byte, so decoding always moves on.
static char32_t NextUtf8(const unsigned char*& s) {
    unsigned char b = *s;
    int len;
    char32_t c, min;
    if (b < 0x80) {
        ++s;
        return b;
    } else if ((b & 0xE0) == 0xC0) {
        len = 2, c = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, c = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        len = 4, c = b & 0x07, min = 0x10000;
    } else {
        ++s;
        return 0xFFFD;
    }
    for (int i = 1; i < len; ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            ++s;
            return 0xFFFD;
        }
        c = (c << 6) | (s[i] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++s;
        return 0xFFFD;
    }
    s += len;
    return c;
}

size_t WidenUtf8(WCHAR* dst, size_t cap, const char* src) {
    size_t n = 0;
    bool measure = !dst;
    if (!measure && cap == 0)
        return 0;
    if (src) {
        const unsigned char* s = (const unsigned char*)src;
        while (*s) {
            char32_t c = NextUtf8(s);
            int len = c >= 0x10000 ? 2 : 1;
            if (!measure && n + len + 1 > cap)
                break;
            if (!measure) {
                if (len == 2) {
                    dst[n] = (WCHAR)(0xD800 + ((c - 0x10000) >> 10));
                    dst[n + 1] = (WCHAR)(0xDC00 + ((c - 0x10000) & 0x3FF));
                } else {
                    dst[n] = (WCHAR)c;
                }
            }
            n += len;
        }
    }
    if (!measure)
        dst[n] = 0;
    return n;
}

static bool IsDelim(WCHAR c, LPCWSTR delims) {
    for (; *delims; ++delims)
        if (*delims == c)
            return true;
    return false;
}

WCHAR* WcsTok(WCHAR* s, LPCWSTR delims, WCHAR** context) {
    if (!context || !delims)
        return nullptr;
    if (!s)
        s = *context;
    if (!s)
        return nullptr;
    while (*s && IsDelim(*s, delims))
        ++s;
    if (!*s) {
        *context = s;
        return nullptr;
    }
    WCHAR* field = s;
    while (*s && !IsDelim(*s, delims))
        ++s;
    if (*s)
        *s++ = 0;
    *context = s;
    return field;
}

static bool IsBlank(WCHAR c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

LONG Wtol(LPCWSTR s) {
    if (!s)
        return 0;
    while (IsBlank(*s))
        ++s;
    bool negative = false;
    if (*s == u'+' || *s == u'-')
        negative = *s++ == u'-';
    long long v = 0;
    for (; *s >= u'0' && *s <= u'9'; ++s) {
        v = v * 10 + (*s - u'0');
        if (v > (long long)INT32_MAX + 1)
            v = (long long)INT32_MAX + 1; // keep going past the digits, clamped
    }
    if (negative)
        return v > (long long)INT32_MAX ? INT32_MIN : (LONG)-v;
    return v > INT32_MAX ? INT32_MAX : (LONG)v;
}

// One %hu of swscanf: blanks, an optional sign, at least one digit. The number wraps to
// 16 bits as the conversion stores it (a minus sign negates it first).
static bool ScanUnsignedShort(LPCWSTR& s, WORD* out) {
    while (IsBlank(*s))
        ++s;
    LPCWSTR p = s;
    bool negative = false;
    if (*p == u'+' || *p == u'-')
        negative = *p++ == u'-';
    if (*p < u'0' || *p > u'9')
        return false;
    unsigned long long v = 0;
    bool overflow = false;
    for (; *p >= u'0' && *p <= u'9'; ++p) {
        if (v > (ULLONG_MAX - 9) / 10)
            overflow = true;
        else
            v = v * 10 + (*p - u'0');
    }
    if (overflow)
        v = ULONG_MAX;
    else if (negative)
        v = 0 - v;
    *out = (WORD)v;
    s = p;
    return true;
}

int ScanScheduleText(LPCWSTR text, WORD* month, WORD* day, WORD* year, WORD* hour, WORD* minute) {
    if (!text)
        return 0;
    WORD* fields[5] = {month, day, year, hour, minute};
    // What must stand before each field: nothing, '/', '/', blanks, ':'.
    const WCHAR before[5] = {0, u'/', u'/', u' ', u':'};
    LPCWSTR s = text;
    int assigned = 0;
    for (int i = 0; i < 5; ++i) {
        if (before[i] == u' ') {
            while (IsBlank(*s))
                ++s;
        } else if (before[i]) {
            if (*s != before[i])
                break;
            ++s;
        }
        WORD value;
        if (!ScanUnsignedShort(s, &value))
            break;
        if (fields[i])
            *fields[i] = value;
        ++assigned;
    }
    return assigned;
}

int FormatDecimal(WCHAR* dst, size_t cap, long value) {
    char buf[32];
    int len = snprintf(buf, sizeof buf, "%ld", value);
    if (!dst || cap == 0)
        return -1;
    size_t i = 0;
    for (; i < (size_t)len && i + 1 < cap; ++i)
        dst[i] = (WCHAR)buf[i];
    dst[i] = 0;
    return i == (size_t)len ? len : -1;
}
