// The internet client: a session, a connection to a server, an HTTP request and its
// body, with the numeric error codes of the handheld's client (see README for how the
// HTTP library's failures map onto them).
//
// Every call blocks the calling thread until it is done; nothing runs in the background.
// Two limits keep a dead server from blocking for ever; both can be changed through the
// environment (milliseconds, read when a session is opened):
//   TARNWICK_CONNECT_TIMEOUT_MS  name look-up and TCP connect      (default 10000)
//   TARNWICK_STALL_TIMEOUT_MS    no byte from the server for so long (default 15000)
// Either limit ends the request with ERROR_INTERNET_TIMEOUT.
#pragma once

#include "platform/base/base.h"

typedef void* HINTERNET;
typedef WORD INTERNET_PORT;
typedef ULONG_PTR DWORD_PTR;

#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_DEFAULT_HTTP_PORT 80
#define INTERNET_SERVICE_HTTP 3
#define INTERNET_FLAG_RELOAD 0x80000000
#define INTERNET_FLAG_KEEP_CONNECTION 0x00400000
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000

#define INTERNET_ERROR_BASE 12000
#define ERROR_INTERNET_OUT_OF_HANDLES 12001
#define ERROR_INTERNET_TIMEOUT 12002
#define ERROR_INTERNET_EXTENDED_ERROR 12003
#define ERROR_INTERNET_INTERNAL_ERROR 12004
#define ERROR_INTERNET_INVALID_URL 12005
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007
#define ERROR_INTERNET_PROTOCOL_NOT_FOUND 12008
#define ERROR_INTERNET_INVALID_OPERATION 12016
#define ERROR_INTERNET_OPERATION_CANCELLED 12017
#define ERROR_INTERNET_INCORRECT_HANDLE_TYPE 12018
#define ERROR_INTERNET_INCORRECT_HANDLE_STATE 12019
#define ERROR_INTERNET_CANNOT_CONNECT 12029
#define ERROR_INTERNET_CONNECTION_ABORTED 12030
#define ERROR_INTERNET_CONNECTION_RESET 12031
#define ERROR_HTTP_HEADER_NOT_FOUND 12150
#define ERROR_HTTP_DOWNLEVEL_SERVER 12151
#define ERROR_HTTP_INVALID_SERVER_RESPONSE 12152
#define ERROR_HTTP_INVALID_QUERY_REQUEST 12154
#define ERROR_HTTP_REDIRECT_FAILED 12156

#define INTERNET_DEFAULT_CONNECT_TIMEOUT_MS 10000
#define INTERNET_DEFAULT_STALL_TIMEOUT_MS 15000

// A session; agent is sent as the User-Agent. Proxy settings are the environment's
// (http_proxy, no_proxy), as "preconfigured" access means.
HINTERNET InternetOpenW(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR proxyBypass,
                        DWORD flags);
// A connection to server:port. Nothing goes over the network yet: the name is looked up
// and the connection made when a request is sent. A name that cannot be a host name fails
// at once with ERROR_INTERNET_INVALID_URL; port 0 means the service's default (80).
HINTERNET InternetConnectW(HINTERNET session, LPCWSTR serverName, INTERNET_PORT port,
                           LPCWSTR userName, LPCWSTR password, DWORD service, DWORD flags,
                           DWORD_PTR context);
// An HTTP request for objectName (a path beginning with '/'); a null verb is GET.
// INTERNET_FLAG_RELOAD asks every cache on the way for a fresh copy ("Cache-Control:
// no-cache", "Pragma: no-cache").
HINTERNET HttpOpenRequestW(HINTERNET connect, LPCWSTR verb, LPCWSTR objectName, LPCWSTR version,
                           LPCWSTR referrer, LPCWSTR* acceptTypes, DWORD flags, DWORD_PTR context);
// Sends the request and waits until the response's status line and headers have arrived;
// the body is then read with InternetReadFile. Extra headers and a request body are
// sent when given (headersLength -1: the headers run to their terminator).
BOOL HttpSendRequestW(HINTERNET request, LPCWSTR headers, DWORD headersLength, LPVOID optional,
                      DWORD optionalLength);
// Reads the next piece of the body, at most toRead bytes; *read is 0 at the end of a
// complete body. A body that breaks off (the connection closed or reset before the length
// the server announced, a stall) fails with the code of the break.
BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD toRead, LPDWORD read);
// Releases a handle and every handle opened under it.
BOOL InternetCloseHandle(HINTERNET handle);

#define HTTP_QUERY_CONTENT_LENGTH 5
#define HTTP_QUERY_STATUS_CODE 19
#define HTTP_QUERY_STATUS_TEXT 20
#define HTTP_QUERY_FLAG_NUMBER 0x20000000
// What the response said: the status code (as text, or as a DWORD with
// HTTP_QUERY_FLAG_NUMBER), the reason phrase, the Content-Length. *length is in bytes;
// too small a buffer fails with ERROR_INSUFFICIENT_BUFFER and *length set to the size
// needed. index may be null.
BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD length,
                    LPDWORD index);
