#include "platform/base/base.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::u16string Wide(const std::string& s) {
    std::u16string w(WidenUtf8(nullptr, 0, s.c_str()), u'\0');
    WidenUtf8(w.data(), w.size() + 1, s.c_str());
    return w;
}

struct TempDir {
    std::string path;
    TempDir() {
        char tmpl[] = "/tmp/tw-base-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

TEST(Wfopen, BackslashIsASeparatorAndPathsAreUtf8) {
    TempDir dir;
    std::u16string path = Wide(dir.path) + u"\\Montr\u00e9al.dat";
    FILE* out = _wfopen(path.c_str(), u"w");
    ASSERT_NE(out, nullptr);
    const char bytes[] = "a\r\nb\n\xe9";
    ASSERT_EQ(fwrite(bytes, 1, sizeof bytes - 1, out), sizeof bytes - 1);
    fclose(out);

    FILE* in = fopen((dir.path + "/Montr\xc3\xa9"
                                 "al.dat")
                         .c_str(),
                     "rb");
    ASSERT_NE(in, nullptr);
    char back[16] = {};
    EXPECT_EQ(fread(back, 1, sizeof back, in), sizeof bytes - 1); // no line-end translation
    EXPECT_EQ(memcmp(back, bytes, sizeof bytes - 1), 0);
    fclose(in);

    char native[128];
    PathToNative(native, sizeof native, u"a\\b/c");
    EXPECT_STREQ(native, "a/b/c");
}

TEST(Wfopen, FailureSetsTheLastError) {
    SetLastError(0);
    EXPECT_EQ(_wfopen(u"/nonexistent-tw\\Season.dat", u"r"), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
    SetLastError(0);
    EXPECT_EQ(_wfopen(u"/tmp/x", u"q"), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
}

TEST(LastError, IsPerThread) {
    SetLastError(ERROR_MORE_DATA);
    DWORD other = 1;
    std::thread([&] { other = GetLastError(); }).join();
    EXPECT_EQ(other, (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_MORE_DATA);
    EXPECT_EQ(ErrorFromErrno(ENOENT), (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ErrorFromErrno(EACCES), (DWORD)ERROR_ACCESS_DENIED);
}

struct FixedClock : Clock {
    uint64_t ms = 5;
    uint64_t NowMs() override { return ms; }
    void LocalTime(SYSTEMTIME* out) override { *out = SYSTEMTIME{2004, 1, 4, 1, 0, 0, 0, 0}; }
};

TEST(Clock, TestsReplaceAndRestoreIt) {
    FixedClock fixed;
    SetClock(&fixed);
    EXPECT_EQ(CurrentClock()->NowMs(), 5u);
    SetClock(nullptr);
    EXPECT_EQ(CurrentClock(), SystemClock());
    uint64_t a = SystemClock()->NowMs();
    Sleep(20);
    EXPECT_GE(SystemClock()->NowMs() - a, 19u);
    SYSTEMTIME now{};
    SystemClock()->LocalTime(&now);
    EXPECT_GE(now.wYear, 2000);
    EXPECT_GE(now.wMonth, 1);
    EXPECT_LE(now.wMonth, 12);
}

} // namespace
