// Basic types of the handheld's system and the text routines the program relies on.
// Text is UTF-16 (WCHAR is char16_t); string literals are written u"...".
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef char CHAR;
typedef const char* LPCSTR;
typedef int BOOL;
typedef int INT;
typedef unsigned int UINT;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef const BYTE* LPCBYTE;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* HANDLE;
typedef DWORD COLORREF;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define MAX_PATH 260

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) ((LONG)(((DWORD)(WORD)(a)) | (((DWORD)(WORD)(b)) << 16)))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(SHORT)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(SHORT)HIWORD(lp))

// Resource names: a small integer in place of a text pointer.
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(p) ((((ULONG_PTR)(p)) >> 16) == 0)

// Error codes of GetLastError.
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_LOCK_VIOLATION 33L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_BADDB 1009L
#define ERROR_BADKEY 1010L
#define ERROR_CANTOPEN 1011L
#define ERROR_CANTREAD 1012L
#define ERROR_CANTWRITE 1013L
#define ERROR_INVALID_WINDOW_HANDLE 1400L

DWORD GetLastError();
void SetLastError(DWORD code);
// The system error code that corresponds to a C errno value (ENOENT -> 2, EACCES -> 5...).
DWORD ErrorFromErrno(int err);

// The date and time of a calendar day, as the handheld keeps it.
struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
typedef SYSTEMTIME* LPSYSTEMTIME;

// ---- UTF-16 text --------------------------------------------------------------------
// Every routine that writes takes the capacity of the destination in characters,
// terminator included, and never writes past it; the result is always terminated
// (when the capacity is at least 1).

size_t WcsLen(LPCWSTR s);
int WcsCmp(LPCWSTR a, LPCWSTR b);
// Copies src into dst; returns 1 when it fitted whole, 0 when it was cut.
int WcsCopy(WCHAR* dst, size_t cap, LPCWSTR src);
// Appends src to the text in dst; returns 1 when it fitted whole, 0 when it was cut.
int WcsAppend(WCHAR* dst, size_t cap, LPCWSTR src);

// The "%hs" conversion: each byte of the 8-bit text becomes one character; bytes 0x80
// to 0xFF map through Windows-1252 (the five bytes it leaves undefined map to U+0080 +
// the same low bits, as the system does). Never fails. Returns the characters written.
size_t WidenHs(WCHAR* dst, size_t cap, const char* src);
// Windows-1252 byte to UTF-16 character.
WCHAR Cp1252ToWide(unsigned char b);
// UTF-16 to UTF-8 and back (for paths, the registry file, fonts and the automation
// socket). Unpaired surrogates and malformed UTF-8 become U+FFFD; a character that does
// not fit whole is left out with all after it. NarrowUtf8 returns the bytes written,
// WidenUtf8 the units written; with dst null both return the length needed (terminator
// excluded).
size_t NarrowUtf8(char* dst, size_t cap, LPCWSTR src);
size_t WidenUtf8(WCHAR* dst, size_t cap, const char* src);

// wcstok: fields are maximal runs of characters not in delims; leading and repeated
// separators are skipped, so there are no empty fields. Pass s the first time and null
// after; *context keeps the place. Returns null when no field is left.
WCHAR* WcsTok(WCHAR* s, LPCWSTR delims, WCHAR** context);

// _wtol: skips leading blanks (space, tab, line ends), takes an optional sign and the
// decimal digits that follow, stops at the first other character; no digits gives 0.
// Values beyond the range of LONG are clamped.
LONG Wtol(LPCWSTR s);
#define _wtol Wtol

// swscanf for the pattern "%hu/%hu/%hu %hu:%hu": reads up to count unsigned 16-bit
// numbers separated as the pattern says (a blank in the pattern matches any run of
// blanks; each %hu skips leading blanks and takes an optional sign and the digits).
// Stops at the first mismatch; fields not reached are left as they were. Returns the
// number of fields assigned.
int ScanScheduleText(LPCWSTR text, WORD* month, WORD* day, WORD* year, WORD* hour, WORD* minute);

// swprintf(dst, cap, L"%d", value): the length written, or -1 when it did not fit (dst
// then holds as much as fitted).
int FormatDecimal(WCHAR* dst, size_t cap, long value);

// ---- Files ---------------------------------------------------------------------------
// _wfopen with modes "r" and "w" (and "rb", "wb", "a"): the UTF-16 path becomes the file
// system's UTF-8 path and a backslash is a separator. Bytes are never translated. Sets
// the last error from errno on failure. The stream is read and closed with the C
// library's fgets, feof, ferror, fwrite and fclose.
FILE* _wfopen(LPCWSTR path, LPCWSTR mode);
// The path as the file system names it (UTF-8, backslashes turned into slashes); with
// dst null returns the length needed, as NarrowUtf8 does.
size_t PathToNative(char* dst, size_t cap, LPCWSTR path);

// Files by name. DeleteFileW removes a file. MoveFileExW renames existing to newName in
// one step, so that a reader finds either the old file or the new one whole; with
// MOVEFILE_REPLACE_EXISTING a file of that name is replaced, and with
// MOVEFILE_WRITE_THROUGH the call returns only once the file's contents and its new
// name are on the disk. Both set the last error on failure.
#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_WRITE_THROUGH 0x00000008
BOOL DeleteFileW(LPCWSTR path);
BOOL MoveFileExW(LPCWSTR existing, LPCWSTR newName, DWORD flags);

// The argument-less run-time routine called before a roster load and at exit: hands
// freed memory back to the system. Returns 0.
int _heapmin();

// Sleep(0) gives up the rest of the time slice; other values sleep that many ms.
void Sleep(DWORD ms);

// ---- Clock ---------------------------------------------------------------------------
// The monotonic clock (timers) and the local date come from the system, or from a
// manual clock that tests install and move forward themselves.
struct Clock {
    virtual ~Clock() = default;
    virtual uint64_t NowMs() = 0; // monotonic milliseconds
    virtual void LocalTime(SYSTEMTIME* out) = 0;
};
Clock* SystemClock();
Clock* CurrentClock();
void SetClock(Clock* clock); // null restores the system clock
