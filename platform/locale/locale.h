// Dates and times: the local date, formatting with explicit pictures, OLE automation
// dates (days since 30 December 1899).
#pragma once

#include "platform/base/base.h"

typedef DWORD LCID;
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400

#define DATE_SHORTDATE 0x00000001
#define DATE_LONGDATE 0x00000002
#define TIME_NOMINUTESORSECONDS 0x00000001
#define TIME_NOSECONDS 0x00000002
#define TIME_NOTIMEMARKER 0x00000004
#define TIME_FORCE24HOURFORMAT 0x00000008

// The local date and time of the current clock (see base's Clock).
void GetLocalTime(SYSTEMTIME* st);

// Pictures: d dd M MM yy yyyy for dates; h hh H HH m mm s ss t tt for times; text in
// single quotes is copied; other characters are copied as they are. A date that does not
// exist, or a time outside 00:00:00 to 23:59:59, fails (result 0, ERROR_INVALID_PARAMETER).
// With cch 0 the result is the length needed, terminator included.
int GetDateFormatW(LCID locale, DWORD flags, const SYSTEMTIME* date, LPCWSTR picture,
                   LPWSTR out, int cch);
int GetTimeFormatW(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCWSTR picture,
                   LPWSTR out, int cch);

typedef double DATE;
// Years 100 to 9999; returns TRUE on success.
INT SystemTimeToVariantTime(const SYSTEMTIME* st, double* out);
INT VariantTimeToSystemTime(double vt, SYSTEMTIME* out);
