#include "platform/base/base.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::u16string Str(LPCWSTR s) {
    return s ? std::u16string(s) : std::u16string();
}

TEST(BoundedText, CopyAndAppendNeverOverrun) {
    WCHAR buf[8];
    for (WCHAR& c : buf)
        c = u'#';
    EXPECT_EQ(WcsCopy(buf, 5, u"abcdefg"), 0);
    EXPECT_EQ(Str(buf), u"abcd");
    EXPECT_EQ(buf[5], u'#'); // nothing beyond the capacity is touched
    EXPECT_EQ(WcsCopy(buf, 8, u"ab"), 1);
    EXPECT_EQ(WcsAppend(buf, 8, u"cdefg"), 1);
    EXPECT_EQ(Str(buf), u"abcdefg");
    EXPECT_EQ(WcsAppend(buf, 8, u"h"), 0);
    EXPECT_EQ(Str(buf), u"abcdefg");
    EXPECT_EQ(WcsCopy(buf, 0, u"x"), 0);
    // A destination without a terminator inside its capacity ends cut, never read past.
    WCHAR raw[3] = {u'x', u'y', u'z'};
    EXPECT_EQ(WcsAppend(raw, 3, u"q"), 0);
    EXPECT_EQ(raw[2], 0);
}

TEST(WidenHs, EveryByteWidensToOneCharacter) {
    char line[256];
    for (int b = 1; b < 256; ++b)
        line[b - 1] = (char)b;
    line[255] = 0;
    WCHAR wide[256];
    ASSERT_EQ(WidenHs(wide, 256, line), 255u);
    for (int b = 1; b < 256; ++b) {
        WCHAR w = wide[b - 1];
        EXPECT_NE(w, 0) << b;
        EXPECT_EQ(w, Cp1252ToWide((unsigned char)b)) << b;
        if (b < 0x80 || b >= 0xA0) {
            EXPECT_EQ(w, (WCHAR)b) << b;
        }
    }
}

TEST(WidenHs, Windows1252HighBytes) {
    struct Case {
        unsigned char byte;
        WCHAR wide;
    } cases[] = {{0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D},
                 {0x8F, 0x008F}, {0x90, 0x0090}, {0x92, 0x2019}, {0x96, 0x2013},
                 {0x9D, 0x009D}, {0x9F, 0x0178}, {0xE9, 0x00E9}, {0xFF, 0x00FF}};
    for (const Case& c : cases)
        EXPECT_EQ(Cp1252ToWide(c.byte), c.wide) << std::hex << (int)c.byte;
    WCHAR small[4];
    EXPECT_EQ(WidenHs(small, 4, "Th\xe9odore"), 3u);
    EXPECT_EQ(Str(small), u"Th\u00e9");
}

TEST(Utf8, RoundTripsAndReplacesBrokenInput) {
    const std::u16string text = u"Montr\u00e9al \u20ac \U0001F3D2";
    char narrow[64];
    size_t n = NarrowUtf8(narrow, sizeof narrow, text.c_str());
    EXPECT_EQ(n, NarrowUtf8(nullptr, 0, text.c_str()));
    EXPECT_EQ(std::string(narrow), "Montr\xc3\xa9"
                                   "al \xe2\x82\xac \xf0\x9f\x8f\x92");
    WCHAR wide[64];
    EXPECT_EQ(WidenUtf8(wide, 64, narrow), text.size());
    EXPECT_EQ(Str(wide), text);

    const WCHAR lone[] = {u'a', 0xD800, u'b', 0xDC00, 0};
    NarrowUtf8(narrow, sizeof narrow, lone);
    EXPECT_EQ(std::string(narrow), "a\xef\xbf\xbd"
                                   "b\xef\xbf\xbd");
    WidenUtf8(wide, 64, "x\xff\xc3(\xe0\x80\x80y");
    EXPECT_EQ(Str(wide), u"x\ufffd\ufffd(\ufffd\ufffd\ufffdy");

    // A character that does not fit is left out whole.
    EXPECT_EQ(NarrowUtf8(narrow, 3, u"a\u20ac"), 1u);
    EXPECT_EQ(std::string(narrow), "a");
    EXPECT_EQ(WidenUtf8(wide, 2, "\xf0\x9f\x8f\x92"), 0u);
}

std::vector<std::u16string> Fields(std::u16string text, LPCWSTR delims) {
    std::vector<std::u16string> out;
    WCHAR* ctx = nullptr;
    for (WCHAR* f = WcsTok(text.data(), delims, &ctx); f; f = WcsTok(nullptr, delims, &ctx))
        out.push_back(f);
    return out;
}

TEST(WcsTok, FieldsAreMaximalRuns) {
    using V = std::vector<std::u16string>;
    struct Case {
        std::u16string text;
        V fields;
    } cases[] = {
        {u"10/08/2003 19:00,4,23\r\n", {u"10/08/2003 19:00", u"4", u"23\r\n"}},
        {u",,a,,b,", {u"a", u"b"}},
        {u"", {}},
        {u",,,", {}},
        {u"no separator\r\n", {u"no separator\r\n"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Fields(c.text, u","), c.fields);
    EXPECT_EQ(Fields(u"a;b,c", u",;"), (V{u"a", u"b", u"c"}));
}

TEST(Wtol, ReadsLikeTheRuntime) {
    struct Case {
        LPCWSTR text;
        LONG value;
    } cases[] = {
        {u"7", 7},
        {u"  7", 7},
        {u"7\r\n", 7},
        {u"-7", -7},
        {u"+12", 12},
        {u" 3x", 3},
        {u"x", 0},
        {u"", 0},
        {u"-", 0},
        {u"- 5", 0},
        {u"\t\n-1", -1},
        {u"99999999999", INT32_MAX},
        {u"-99999999999", INT32_MIN},
        {u"-2147483648", INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Wtol(c.text), c.value) << std::string(c.text, c.text + WcsLen(c.text));
    EXPECT_EQ(Wtol(nullptr), 0);
}

TEST(ScanScheduleText, PartialTextsLeaveLaterFieldsAlone) {
    struct Case {
        LPCWSTR text;
        int assigned;
        WORD fields[5];
    } cases[] = {
        {u"10/08/2003 19:30", 5, {10, 8, 2003, 19, 30}},
        {u"10/08/2003", 3, {10, 8, 2003, 9, 9}},
        {u" 1/ 2/3   4: 5", 5, {1, 2, 3, 4, 5}},
        {u"10/08/2003 19:00\r\n", 5, {10, 8, 2003, 19, 0}},
        {u"10-08-2003", 1, {10, 9, 9, 9, 9}},
        {u"Date", 0, {9, 9, 9, 9, 9}},
        {u"10 /08", 1, {10, 9, 9, 9, 9}},
        {u"-1/70000/2003", 3, {65535, 4464, 2003, 9, 9}},
        {u"", 0, {9, 9, 9, 9, 9}},
    };
    for (const Case& c : cases) {
        WORD f[5] = {9, 9, 9, 9, 9};
        EXPECT_EQ(ScanScheduleText(c.text, &f[0], &f[1], &f[2], &f[3], &f[4]), c.assigned);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(f[i], c.fields[i]) << i;
    }
}

TEST(FormatDecimal, SignedAndBounded) {
    WCHAR buf[4];
    EXPECT_EQ(FormatDecimal(buf, 4, -7), 2);
    EXPECT_EQ(Str(buf), u"-7");
    EXPECT_EQ(FormatDecimal(buf, 4, 0), 1);
    EXPECT_EQ(Str(buf), u"0");
    EXPECT_EQ(FormatDecimal(buf, 4, 12345), -1);
    EXPECT_EQ(Str(buf), u"123");
}

} // namespace
