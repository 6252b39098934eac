// Reading and writing the text of registry exports.
#include "platform/registry/regfile.h"

#include <algorithm>
#include <cstring>

namespace regfile {

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";

char16_t Fold(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 32;
    return c;
}

// Strict UTF-8 to UTF-16: false on any malformed byte, so that a file we cannot read
// exactly is never rewritten from a guess.
bool DecodeUtf8(const std::string& in, std::u16string* out) {
    const unsigned char* s = (const unsigned char*)in.data();
    size_t n = in.size(), i = 0;
    out->clear();
    out->reserve(n);
    while (i < n) {
        unsigned char b = s[i];
        char32_t c;
        int len;
        if (b < 0x80) {
            c = b, len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F, len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F, len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07, len = 4;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (int k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (s[i + k] & 0x3F);
        }
        static const char32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < minimum[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c >= 0x10000) {
            out->push_back((char16_t)(0xD800 + ((c - 0x10000) >> 10)));
            out->push_back((char16_t)(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out->push_back((char16_t)c);
        }
        i += len;
    }
    return true;
}

bool DecodeFile(const std::string& bytes, std::u16string* text) {
    if (bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE) {
        if (bytes.size() % 2)
            return false;
        text->clear();
        for (size_t i = 2; i < bytes.size(); i += 2)
            text->push_back((char16_t)((unsigned char)bytes[i] | (unsigned char)bytes[i + 1] << 8));
        for (size_t i = 0; i < text->size(); ++i) { // surrogates must pair up
            char16_t c = (*text)[i];
            if (c >= 0xD800 && c <= 0xDBFF) {
                if (i + 1 >= text->size() || (*text)[i + 1] < 0xDC00 || (*text)[i + 1] > 0xDFFF)
                    return false;
                ++i;
            } else if (c >= 0xDC00 && c <= 0xDFFF) {
                return false;
            }
        }
        return true;
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return DecodeUtf8(bytes.substr(3), text);
    return DecodeUtf8(bytes, text);
}

std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos)
            end = text.size();
        std::u16string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string Trim(const std::u16string& s) {
    size_t a = 0, b = s.size();
    while (a < b && IsSpace(s[a]))
        ++a;
    while (b > a && IsSpace(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// A quoted text at s[*pos] ("..." with \\ and \" as the only escapes).
bool ReadQuoted(const std::u16string& s, size_t* pos, std::u16string* out) {
    size_t i = *pos;
    if (i >= s.size() || s[i] != u'"')
        return false;
    ++i;
    out->clear();
    while (i < s.size()) {
        char16_t c = s[i++];
        if (c == u'"') {
            *pos = i;
            return true;
        }
        if (c == u'\\') {
            if (i >= s.size() || (s[i] != u'\\' && s[i] != u'"'))
                return false;
            c = s[i++];
        }
        out->push_back(c);
    }
    return false; // no closing quote: a cut line
}

// "2d,00,37" (already joined across continuation lines); every byte two hex digits.
bool ReadHexBytes(const std::u16string& s, std::vector<BYTE>* out) {
    out->clear();
    std::u16string t;
    for (char16_t c : s)
        if (!IsSpace(c))
            t.push_back(c);
    if (t.empty())
        return true;
    size_t i = 0;
    for (;;) {
        if (i + 2 > t.size())
            return false;
        int hi = HexDigit(t[i]), lo = HexDigit(t[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out->push_back((BYTE)(hi << 4 | lo));
        i += 2;
        if (i == t.size())
            return true;
        if (t[i] != u',')
            return false;
        ++i;
    }
}

bool ParseData(const std::u16string& s, Value* v) {
    if (!s.empty() && s[0] == u'"') {
        std::u16string text;
        size_t pos = 0;
        if (!ReadQuoted(s, &pos, &text) || !Trim(s.substr(pos)).empty())
            return false;
        v->type = REG_SZ;
        v->data.clear();
        for (char16_t c : text) {
            v->data.push_back((BYTE)(c & 0xFF));
            v->data.push_back((BYTE)(c >> 8));
        }
        v->data.push_back(0);
        v->data.push_back(0);
        return true;
    }
    if (s.compare(0, 6, u"dword:") == 0) {
        std::u16string digits = s.substr(6);
        if (digits.size() != 8)
            return false;
        DWORD x = 0;
        for (char16_t c : digits) {
            int d = HexDigit(c);
            if (d < 0)
                return false;
            x = x << 4 | (DWORD)d;
        }
        v->type = REG_DWORD;
        v->data = {(BYTE)x, (BYTE)(x >> 8), (BYTE)(x >> 16), (BYTE)(x >> 24)};
        return true;
    }
    if (s.compare(0, 4, u"hex:") == 0) {
        v->type = REG_BINARY;
        return ReadHexBytes(s.substr(4), &v->data);
    }
    if (s.compare(0, 4, u"hex(") == 0) {
        size_t close = s.find(u')', 4);
        if (close == std::u16string::npos || close == 4 || close > 12 ||
            s.compare(close, 2, u"):") != 0)
            return false;
        DWORD type = 0;
        for (size_t i = 4; i < close; ++i) {
            int d = HexDigit(s[i]);
            if (d < 0)
                return false;
            type = type << 4 | (DWORD)d;
        }
        v->type = type;
        return ReadHexBytes(s.substr(close + 2), &v->data);
    }
    return false;
}

// Names hold no control characters: the file gives them back one line each.
bool PlainName(const std::u16string& name) {
    for (char16_t c : name)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}

bool ValidKeyPath(const std::u16string& path) {
    if (!PlainName(path))
        return false;
    static const char16_t* const roots[] = {u"HKEY_LOCAL_MACHINE", u"HKEY_CURRENT_USER",
                                            u"HKEY_CLASSES_ROOT"};
    std::u16string root = path.substr(0, path.find(u'\\'));
    bool known = false;
    for (const char16_t* r : roots)
        known |= SameName(root, r);
    if (!known || path.back() == u'\\')
        return false;
    return path.find(u"\\\\") == std::u16string::npos;
}

std::string Utf8(const std::u16string& s) {
    std::string out(NarrowUtf8(nullptr, 0, s.c_str()), '\0');
    NarrowUtf8(out.data(), out.size() + 1, s.c_str());
    return out;
}

std::string Quote(const std::u16string& s) {
    std::string out = "\"";
    for (char c : Utf8(s)) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// A REG_SZ that a quoted text gives back exactly: its stored size is (length + 1) * 2,
// with one terminating zero, and it holds no control characters or broken surrogates.
bool WritableAsText(const Value& v, std::u16string* text) {
    if (v.type != REG_SZ || v.data.size() < 2 || v.data.size() % 2)
        return false;
    size_t units = v.data.size() / 2;
    text->clear();
    for (size_t i = 0; i < units; ++i) {
        char16_t c = (char16_t)(v.data[2 * i] | v.data[2 * i + 1] << 8);
        if (i + 1 == units)
            return c == 0;
        if (c < 0x20 || c == 0x7F)
            return false;
        text->push_back(c);
    }
    for (size_t i = 0; i < text->size(); ++i) {
        char16_t c = (*text)[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text->size() && (*text)[i + 1] >= 0xDC00 &&
            (*text)[i + 1] <= 0xDFFF) {
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

// hex lists wrap as the export tool wraps them: a trailing backslash, then two blanks.
std::string HexList(size_t prefixLen, const std::vector<BYTE>& data) {
    std::string out;
    size_t column = prefixLen;
    static const char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < data.size(); ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 15]);
        column += 2;
        if (i + 1 < data.size()) {
            out.push_back(',');
            ++column;
            if (column > 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    return out;
}

bool TreeLess(const std::u16string& a, const std::u16string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = a[i] == u'\\' ? 0 : Fold(a[i]);
        char16_t y = b[i] == u'\\' ? 0 : Fold(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

} // namespace

bool SameName(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

Key* FindKey(Document& doc, const std::u16string& path) {
    for (Key& k : doc.keys)
        if (SameName(k.path, path))
            return &k;
    return nullptr;
}

Value* FindValue(Key& key, const std::u16string& name) {
    for (Value& v : key.values)
        if (SameName(v.name, name))
            return &v;
    return nullptr;
}

bool Parse(const std::string& bytes, Document* doc) {
    std::u16string text;
    if (!DecodeFile(bytes, &text))
        return false;
    std::vector<std::u16string> lines = Lines(text);
    doc->keys.clear();
    size_t i = 0;
    while (i < lines.size() && Trim(lines[i]).empty())
        ++i;
    if (i == lines.size() || Trim(lines[i]) != std::u16string(kHeader, kHeader + strlen(kHeader)))
        return false;
    Key* current = nullptr;
    for (++i; i < lines.size(); ++i) {
        std::u16string line = Trim(lines[i]);
        if (line.empty() || line[0] == u';')
            continue;
        if (line[0] == u'[') {
            if (line.back() != u']' || line.size() < 3)
                return false;
            std::u16string path = line.substr(1, line.size() - 2);
            if (path[0] == u'-' || !ValidKeyPath(path))
                return false; // deletions belong to imports, not to a stored registry
            current = FindKey(*doc, path);
            if (!current) {
                doc->keys.push_back(Key{path, {}});
                current = &doc->keys.back();
            }
            continue;
        }
        if (!current)
            return false;
        Value v;
        size_t pos = 0;
        if (line[0] == u'@') {
            pos = 1;
        } else if (!ReadQuoted(line, &pos, &v.name) || !PlainName(v.name)) {
            return false;
        }
        while (pos < line.size() && IsSpace(line[pos]))
            ++pos;
        if (pos >= line.size() || line[pos] != u'=')
            return false;
        std::u16string data = Trim(line.substr(pos + 1));
        // A hex list goes on over the lines that its trailing backslash joins on.
        while (!data.empty() && data.back() == u'\\' && data.compare(0, 3, u"hex") == 0) {
            data.pop_back();
            if (++i >= lines.size())
                return false;
            data += Trim(lines[i]);
        }
        if (!ParseData(data, &v))
            return false;
        if (Value* old = FindValue(*current, v.name))
            *old = v;
        else
            current->values.push_back(v);
    }
    return true;
}

std::string Serialize(const Document& doc) {
    std::vector<const Key*> keys;
    for (const Key& k : doc.keys)
        keys.push_back(&k);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const Key* a, const Key* b) { return TreeLess(a->path, b->path); });
    std::string out = std::string(kHeader) + "\n";
    for (const Key* k : keys) {
        out += "\n[" + Utf8(k->path) + "]\n";
        for (const Value& v : k->values) {
            std::string line = v.name.empty() ? "@=" : Quote(v.name) + "=";
            std::u16string text;
            if (WritableAsText(v, &text)) {
                line += Quote(text);
            } else if (v.type == REG_DWORD && v.data.size() == 4) {
                char buf[16];
                DWORD x = v.data[0] | v.data[1] << 8 | v.data[2] << 16 | (DWORD)v.data[3] << 24;
                snprintf(buf, sizeof buf, "dword:%08x", x);
                line += buf;
            } else {
                char buf[24];
                if (v.type == REG_BINARY)
                    snprintf(buf, sizeof buf, "hex:");
                else
                    snprintf(buf, sizeof buf, "hex(%x):", v.type);
                line += buf;
                line += HexList(line.size(), v.data);
            }
            out += line + "\n";
        }
    }
    out += "\n";
    return out;
}

} // namespace regfile
