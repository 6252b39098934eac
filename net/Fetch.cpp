// The HTTP fetch of the standings and roster files from the data server.
//
// The body is written to a temporary file beside the data file ("Standings.dat.part"),
// which takes the data file's place only once the server has answered with a 2xx status
// and the whole body has arrived. Until then the stored file is not touched, so a failed
// download never leaves a broken or half-written data file behind.
#include "net/net.h"

#include "app/app.h"
#include "platform/registry/registry.h"
#include "res/resource.h"

#include <cerrno>

HINTERNET SessionHandle = nullptr;
HINTERNET ConnectHandle = nullptr;
HINTERNET RequestHandle = nullptr;
WCHAR DownloadError[256] = u"";

namespace {

constexpr int ReceiveBufferSize = 1024;
constexpr int ServerNameSize = 256;
constexpr WCHAR TempSuffix[] = u".part";

// Messages of the internet client's codes 12001 to 12036; the four codes that have none
// are null.
const LPCWSTR ErrorMessages[36] = {
    u"No more handles could be generated at this time.",
    u"The request has timed out.",
    u"An extended error was returned from the server.",
    u"An internal error has occurred.",
    u"The URL is invalid.",
    u"The URL scheme could not be recognized or is not supported.",
    u"The server name could not be resolved.",
    u"The requested protocol could not be located.",
    nullptr, // 12009
    nullptr, // 12010
    u"The request option cannot be set, only queried.",
    u"The Win32 Internet function support is being shut down or unloaded.",
    u"The request to connect and log on to server could not be completed because the "
    u"supplied user name is incorrect.",
    u"The request to connect and log on to an server could not be completed because the "
    u"supplied password is incorrect.",
    u"The request to connect to and log on to server failed.",
    u"The requested operation is invalid.",
    u"The operation was canceled, usually because the handle on which the request was "
    u"operating was closed before the operation completed.",
    u"The type of handle supplied is incorrect for this operation.",
    u"The requested operation cannot be carried out because the handle supplied is not in "
    u"the correct state.",
    u"The request cannot be made via a proxy.",
    u"A required registry value could not be located.",
    u"A required registry value was located but is an incorrect type or has an invalid "
    u"value.",
    u"Direct network access cannot be made at this time.",
    u"An asynchronous request could not be made because a zero context value was supplied.",
    u"An asynchronous request could not be made because a callback function has not been "
    u"set.",
    u"The required operation could not be completed because one or more requests are "
    u"pending.",
    u"The format of the request is invalid.",
    u"The requested item could not be located.",
    u"The attempt to connect to the server failed.",
    u"The connection with the server has been terminated.",
    u"The connection with the server has been reset.",
    u"Calls for the Win32 Internet function to redo the request.",
    u"The request to the proxy was invalid.",
    nullptr, // 12034
    nullptr, // 12035
    u"The request failed because the handle already exists.",
};

LPCWSTR ErrorMessage(DWORD code) {
    if (code >= 12001 && code <= 12036 && ErrorMessages[code - 12001]) {
        return ErrorMessages[code - 12001];
    }
    switch (code) {
        case 12150: return u"The requested header could not be located.";
        case 12151: return u"The server did not return any headers.";
        case 12152: return u"The server response could not be parsed.";
        case 12153: return u"The supplied header is invalid.";
        case 12154: return u"The request made to HttpQueryInfo is invalid.";
        case 12155: return u"The header could not be added because it already exists.";
        case 12156:
            return u"The redirection failed because either the scheme changed or all attempts "
                   u"made to redirect failed.";
    }
    return u"Error";
}

// Shows one progress picture, hides the other two, and paints the dialog at once: the
// thread does not get back to its message loop before the fetch ends.
void ShowProgress(HWND dialog, int picture) {
    const int pictures[] = {IDC_CONNECTING_PICTURE, IDC_ROSTERS_PICTURE, IDC_STANDINGS_PICTURE};
    for (int id : pictures) {
        ShowWindow(GetDlgItem(dialog, id), id == picture ? SW_SHOW : SW_HIDE);
    }
    UpdateWindow(dialog);
}

// The data server, from the value Server: "host" or "host:port" (an IPv6 address as
// "[address]" or "[address]:port"). "localhost" on port 80 when the value is missing or
// empty. A port that is not a number from 1 to 65535 leaves the whole value as the name,
// which the connection step then refuses as an invalid name.
void ReadDataServer(WCHAR* host, INTERNET_PORT* port) {
    WcsCopy(host, ServerNameSize, u"localhost");
    *port = INTERNET_DEFAULT_HTTP_PORT;

    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vellmore\\tarnwick", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    WCHAR value[ServerNameSize] = u"";
    DWORD type = 0;
    DWORD size = sizeof(value) - sizeof(WCHAR);
    LONG result = RegQueryValueExW(key, u"Server", nullptr, &type, (LPBYTE)value, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) {
        return;
    }
    value[size / sizeof(WCHAR)] = 0;

    // Blanks around the value are not part of the name.
    WCHAR* start = value;
    while (*start == u' ' || *start == u'\t') {
        start++;
    }
    size_t length = WcsLen(start);
    while (length > 0 && (start[length - 1] == u' ' || start[length - 1] == u'\t')) {
        start[--length] = 0;
    }
    if (length == 0) {
        return;
    }

    // The colon that may begin the port: after "]" for a bracketed address, otherwise the
    // only colon (more than one is an IPv6 address without a port).
    WCHAR* colon = nullptr;
    if (start[0] == u'[') {
        for (WCHAR* p = start; *p; p++) {
            if (p[0] == u']' && p[1] == u':') {
                colon = p + 1;
            }
        }
    } else {
        int colons = 0;
        for (WCHAR* p = start; *p; p++) {
            if (*p == u':') {
                colon = p;
                colons++;
            }
        }
        if (colons != 1) {
            colon = nullptr;
        }
    }
    if (colon) {
        long number = 0;
        int digits = 0;
        for (WCHAR* p = colon + 1; *p; p++) {
            if (*p < u'0' || *p > u'9' || digits >= 5) {
                digits = -1;
                break;
            }
            number = number * 10 + (*p - u'0');
            digits++;
        }
        if (digits > 0 && number >= 1 && number <= 65535) {
            *colon = 0;
            *port = (INTERNET_PORT)number;
        }
    }
    WcsCopy(host, ServerNameSize, start);
}

// A failure of one step: the code is taken by the caller at once after the step failed.
int FetchFailed(LPCWSTR prefix, DWORD code) {
    CloseInternetHandles();
    WcsCopy(DownloadError, 256, prefix);
    InternetErrorText(code, DownloadError, 256);
    return 0;
}

// A failure once the temporary file is open: it is closed and removed, the stored file
// stays as it was.
int ReceiveFailed(LPCWSTR prefix, DWORD code, FILE* file, LPCWSTR tempPath) {
    fclose(file);
    DeleteFileW(tempPath);
    return FetchFailed(prefix, code);
}

// A status that is not 2xx: "HTTP Error 404", a line feed, and the server's reason.
int StatusFailed(DWORD status) {
    WCHAR reason[128] = u"";
    DWORD size = sizeof(reason);
    if (!HttpQueryInfoW(RequestHandle, HTTP_QUERY_STATUS_TEXT, reason, &size, nullptr) ||
        reason[0] == 0) {
        WcsCopy(reason, 128, u"Error");
    }
    CloseInternetHandles();
    WCHAR number[16];
    FormatDecimal(number, 16, (long)status);
    WcsCopy(DownloadError, 256, u"HTTP Error ");
    WcsAppend(DownloadError, 256, number);
    WcsAppend(DownloadError, 256, u"\n");
    WcsAppend(DownloadError, 256, reason);
    return 0;
}

// One fetch: serverPath from the data server into localPath. connectingPicture is shown
// while connecting and sending, receivingPicture while the body arrives.
int Fetch(HWND dialog, LPCWSTR serverPath, LPCWSTR localPath, int connectingPicture,
          int receivingPicture) {
    ShowProgress(dialog, connectingPicture);
    CloseInternetHandles();

    SessionHandle = InternetOpenW(u"tarnwick", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);

    WCHAR host[ServerNameSize];
    INTERNET_PORT port;
    ReadDataServer(host, &port);
    ConnectHandle =
        InternetConnectW(SessionHandle, host, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!ConnectHandle) {
        return FetchFailed(u"Connect Error", GetLastError());
    }

    RequestHandle = HttpOpenRequestW(ConnectHandle, nullptr, serverPath, nullptr, nullptr, nullptr,
                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION, 0);
    if (!RequestHandle) {
        return FetchFailed(u"Open Request Error", GetLastError());
    }

    if (!HttpSendRequestW(RequestHandle, nullptr, 0, nullptr, 0)) {
        return FetchFailed(u"Send Request Error", GetLastError());
    }

    // Only a successful answer carries the file; an error page must not replace it.
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(RequestHandle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr)) {
        return FetchFailed(u"Receive Error", GetLastError());
    }
    if (status < 200 || status > 299) {
        return StatusFailed(status);
    }

    if (receivingPicture != connectingPicture) {
        ShowProgress(dialog, receivingPicture);
    }

    WCHAR tempPath[MAX_PATH + 8];
    WcsCopy(tempPath, MAX_PATH + 8, localPath);
    WcsAppend(tempPath, MAX_PATH + 8, TempSuffix);
    FILE* file = _wfopen(tempPath, u"w");
    if (!file) {
        return FetchFailed(u"File Error", GetLastError());
    }

    BYTE buffer[ReceiveBufferSize];
    for (;;) {
        DWORD count = 0;
        if (!InternetReadFile(RequestHandle, buffer, ReceiveBufferSize, &count)) {
            return ReceiveFailed(u"Receive Error", GetLastError(), file, tempPath);
        }
        if (count == 0) {
            break;
        }
        if (fwrite(buffer, 1, count, file) != count) {
            return ReceiveFailed(u"File Error", ErrorFromErrno(errno), file, tempPath);
        }
    }
    CloseInternetHandles();

    if (fflush(file) != 0) {
        return ReceiveFailed(u"File Error", ErrorFromErrno(errno), file, tempPath);
    }
    if (fclose(file) != 0) {
        DWORD code = ErrorFromErrno(errno);
        DeleteFileW(tempPath);
        return FetchFailed(u"File Error", code);
    }
    if (!MoveFileExW(tempPath, localPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        DeleteFileW(tempPath);
        return FetchFailed(u"File Error", code);
    }
    return 1;
}

} // namespace

int FetchStandings(HWND dialog) {
    return Fetch(dialog, u"/sports/hockey/2004/Standings.dat", StandingsPath,
                 IDC_CONNECTING_PICTURE, IDC_STANDINGS_PICTURE);
}

int FetchRosters(HWND dialog) {
    return Fetch(dialog, u"/sports/hockey/2004/Roster.dat", RosterPath, IDC_ROSTERS_PICTURE,
                 IDC_ROSTERS_PICTURE);
}

void CloseInternetHandles() {
    if (RequestHandle) {
        InternetCloseHandle(RequestHandle);
        RequestHandle = nullptr;
    }
    if (ConnectHandle) {
        InternetCloseHandle(ConnectHandle);
        ConnectHandle = nullptr;
    }
    if (SessionHandle) {
        InternetCloseHandle(SessionHandle);
        SessionHandle = nullptr;
    }
}

LPWSTR InternetErrorText(DWORD code, LPWSTR text, size_t cap) {
    WCHAR number[16];
    FormatDecimal(number, 16, (long)(int32_t)code);
    WcsAppend(text, cap, u" ");
    WcsAppend(text, cap, number);
    WcsAppend(text, cap, u"\n");
    WcsAppend(text, cap, ErrorMessage(code));
    return text;
}
