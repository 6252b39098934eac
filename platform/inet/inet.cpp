// The internet client over libcurl's multi interface, driven only from inside the calls:
// HttpSendRequestW runs the transfer until the response headers are in, InternetReadFile
// runs it until the next piece of the body is in. The body waits in a small buffer; when
// that is full the transfer is paused (curl keeps the piece it offered and hands it over
// again on resume), so a large body is never held whole.
#include "platform/inet/inet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;

// Bytes of body kept between reads before the transfer is paused; curl offers at most
// CURL_MAX_WRITE_SIZE (16 KB) at a time.
constexpr size_t kBodyBufferCap = 64 * 1024;

enum class Kind { Session, Connect, Request };

struct Handle {
    Kind kind;
    Handle* parent = nullptr;
    std::vector<Handle*> children;
    explicit Handle(Kind k) : kind(k) {}
    virtual ~Handle() = default;
};

struct SessionHandle : Handle {
    SessionHandle() : Handle(Kind::Session) {}
    std::string agent;
    bool direct = false;
    long connectMs = INTERNET_DEFAULT_CONNECT_TIMEOUT_MS;
    long stallMs = INTERNET_DEFAULT_STALL_TIMEOUT_MS;
    CURLM* multi = nullptr; // shared by the session's requests, so connections are reused
};

struct ConnectHandle : Handle {
    ConnectHandle() : Handle(Kind::Connect) {}
    std::string host; // as it goes into a URL (an IPv6 address in brackets)
    unsigned port = INTERNET_DEFAULT_HTTP_PORT;
};

enum class RequestState { Opened, Sent, Finished, Failed };

struct RequestHandle : Handle {
    RequestHandle() : Handle(Kind::Request) {}
    std::string verb;
    std::string url;
    DWORD flags = 0;
    CURL* easy = nullptr;
    bool inMulti = false;
    curl_slist* headers = nullptr;
    RequestState state = RequestState::Opened;

    // The response.
    long status = 0;
    std::string reason;
    long long contentLength = -1;
    bool headersDone = false;

    // The body between the transfer and the reader.
    std::vector<char> body;
    size_t bodyPos = 0;
    bool paused = false;

    // The transfer's end.
    bool finished = false;
    CURLcode result = CURLE_OK;
    long osErrno = 0;
    DWORD failure = 0; // the code once the request has failed for good

    Steady::time_point lastByte;
};

std::set<Handle*> g_live;

SessionHandle* session_of(Handle* h) {
    while (h && h->kind != Kind::Session)
        h = h->parent;
    return static_cast<SessionHandle*>(h);
}

Handle* lookup(HINTERNET h) {
    auto* p = static_cast<Handle*>(h);
    return g_live.count(p) ? p : nullptr;
}

long env_ms(const char* name, long fallback) {
    const char* v = std::getenv(name);
    if (!v || !*v)
        return fallback;
    char* end = nullptr;
    long ms = std::strtol(v, &end, 10);
    if (*end != '\0' || ms <= 0)
        return fallback;
    return ms;
}

std::string utf8(LPCWSTR s) {
    if (!s)
        return {};
    size_t n = WcsLen(s) * 3 + 1;
    std::string out(n, '\0');
    out.resize(NarrowUtf8(out.data(), n, s));
    return out;
}

bool is_hostname_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

bool is_ipv6_char(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' ||
           c == '.';
}

// The server name as it goes into a URL, or empty when it cannot name a host.
std::string url_host(const std::string& name) {
    if (name.empty() || name.size() > 253)
        return {};
    if (name.front() == '[') {
        if (name.size() < 4 || name.back() != ']')
            return {};
        for (size_t i = 1; i + 1 < name.size(); ++i)
            if (!is_ipv6_char(name[i]))
                return {};
        return name;
    }
    if (name.find(':') != std::string::npos) {
        for (char c : name)
            if (!is_ipv6_char(c))
                return {};
        return "[" + name + "]";
    }
    for (char c : name)
        if (!is_hostname_char(c))
            return {};
    return name;
}

// The path with the bytes a URL cannot carry as they are (blanks, controls, 8-bit bytes,
// '#', which would start a fragment) written as %XX.
std::string url_path(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (c <= 0x20 || c >= 0x7f || c == '#') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

// How a transfer's failure reads as the handheld's client would have reported it.
DWORD map_curl_error(CURLcode code, long osErrno) {
    switch (code) {
        case CURLE_OK: return ERROR_SUCCESS;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return ERROR_INTERNET_NAME_NOT_RESOLVED;
        case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
        case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
        case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
        // An answer that is not HTTP at all (curl calls it HTTP/0.9) or a garbled one.
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_BAD_CONTENT_ENCODING: return ERROR_HTTP_INVALID_SERVER_RESPONSE;
        case CURLE_TOO_MANY_REDIRECTS: return ERROR_HTTP_REDIRECT_FAILED;
        // The server closed the connection: before any answer, or before the end of the
        // body it announced.
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE: return ERROR_INTERNET_CONNECTION_ABORTED;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
            return osErrno == ECONNRESET ? ERROR_INTERNET_CONNECTION_RESET
                                         : ERROR_INTERNET_CONNECTION_ABORTED;
        case CURLE_ABORTED_BY_CALLBACK: return ERROR_INTERNET_OPERATION_CANCELLED;
        default: return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

size_t on_header(char* data, size_t size, size_t count, void* user) {
    auto* r = static_cast<RequestHandle*>(user);
    size_t len = size * count;
    r->lastByte = Steady::now();
    std::string line(data, len);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (line.compare(0, 5, "HTTP/") == 0) {
        // A status line: "HTTP/1.1 404 Not Found". Interim (1xx) answers come before the
        // final one and are replaced by it.
        size_t sp = line.find(' ');
        r->status = sp == std::string::npos ? 0 : std::strtol(line.c_str() + sp + 1, nullptr, 10);
        size_t sp2 = sp == std::string::npos ? sp : line.find(' ', sp + 1);
        r->reason = sp2 == std::string::npos ? std::string() : line.substr(sp2 + 1);
        r->contentLength = -1;
        r->headersDone = false;
    } else if (line.empty()) {
        if (r->status >= 200)
            r->headersDone = true;
    } else if (line.size() > 15 && strncasecmp(line.c_str(), "Content-Length:", 15) == 0) {
        r->contentLength = std::strtoll(line.c_str() + 15, nullptr, 10);
    }
    return len;
}

size_t on_body(char* data, size_t size, size_t count, void* user) {
    auto* r = static_cast<RequestHandle*>(user);
    size_t len = size * count;
    r->lastByte = Steady::now();
    r->headersDone = true;
    size_t held = r->body.size() - r->bodyPos;
    if (held > 0 && held + len > kBodyBufferCap) {
        r->paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (r->bodyPos > 0) {
        r->body.erase(r->body.begin(), r->body.begin() + long(r->bodyPos));
        r->bodyPos = 0;
    }
    r->body.insert(r->body.end(), data, data + len);
    return len;
}

// Takes the ends of the session's transfers off curl's queue.
void collect_finished(SessionHandle* s) {
    int left = 0;
    while (CURLMsg* m = curl_multi_info_read(s->multi, &left)) {
        if (m->msg != CURLMSG_DONE)
            continue;
        RequestHandle* r = nullptr;
        curl_easy_getinfo(m->easy_handle, CURLINFO_PRIVATE, reinterpret_cast<char**>(&r));
        if (!r || !g_live.count(r))
            continue;
        r->finished = true;
        r->result = m->data.result;
        curl_easy_getinfo(r->easy, CURLINFO_OS_ERRNO, &r->osErrno);
    }
}

// Runs the transfer until ready() holds or it ends. Returns 0, or ERROR_INTERNET_TIMEOUT
// when the server sent nothing for the stall time while we waited for it.
template <class Ready> DWORD pump(RequestHandle* r, Ready ready) {
    SessionHandle* s = session_of(r);
    const auto stall = std::chrono::milliseconds(s->stallMs);
    const auto waitStart = Steady::now();
    for (;;) {
        int running = 0;
        if (curl_multi_perform(s->multi, &running) != CURLM_OK)
            return ERROR_INTERNET_INTERNAL_ERROR;
        collect_finished(s);
        if (ready() || r->finished)
            return 0;
        auto now = Steady::now();
        auto since = now - std::max(r->lastByte, waitStart);
        if (since >= stall)
            return ERROR_INTERNET_TIMEOUT;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(stall - since).count();
        int numfds = 0;
        if (curl_multi_poll(s->multi, nullptr, 0, int(std::min<long long>(left + 1, 1000)),
                            &numfds) != CURLM_OK)
            return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

void release_transfer(RequestHandle* r) {
    if (r->easy) {
        if (r->inMulti)
            curl_multi_remove_handle(session_of(r)->multi, r->easy);
        curl_easy_cleanup(r->easy);
        r->easy = nullptr;
        r->inMulti = false;
    }
    curl_slist_free_all(r->headers);
    r->headers = nullptr;
}

void fail(RequestHandle* r, DWORD code) {
    r->state = RequestState::Failed;
    r->failure = code;
    release_transfer(r);
    SetLastError(code);
}

void destroy(Handle* h) {
    while (!h->children.empty())
        destroy(h->children.back());
    if (h->parent) {
        auto& siblings = h->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
    }
    if (h->kind == Kind::Request)
        release_transfer(static_cast<RequestHandle*>(h));
    if (h->kind == Kind::Session) {
        auto* s = static_cast<SessionHandle*>(h);
        if (s->multi)
            curl_multi_cleanup(s->multi);
    }
    g_live.erase(h);
    delete h;
}

template <class T> T* adopt(T* h, Handle* parent) {
    h->parent = parent;
    if (parent)
        parent->children.push_back(h);
    g_live.insert(h);
    return h;
}

RequestHandle* request_arg(HINTERNET h) {
    Handle* p = lookup(h);
    if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (p->kind != Kind::Request) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return nullptr;
    }
    return static_cast<RequestHandle*>(p);
}

} // namespace

HINTERNET InternetOpenW(LPCWSTR agent, DWORD accessType, LPCWSTR, LPCWSTR, DWORD) {
    static std::once_flag once;
    static CURLcode initResult = CURLE_OK;
    std::call_once(once, [] { initResult = curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURLM* multi = initResult == CURLE_OK ? curl_multi_init() : nullptr;
    if (!multi) {
        SetLastError(ERROR_INTERNET_INTERNAL_ERROR);
        return nullptr;
    }
    auto* s = new SessionHandle;
    s->agent = utf8(agent);
    s->direct = accessType == INTERNET_OPEN_TYPE_DIRECT;
    s->connectMs = env_ms("TARNWICK_CONNECT_TIMEOUT_MS", INTERNET_DEFAULT_CONNECT_TIMEOUT_MS);
    s->stallMs = env_ms("TARNWICK_STALL_TIMEOUT_MS", INTERNET_DEFAULT_STALL_TIMEOUT_MS);
    s->multi = multi;
    return adopt(s, nullptr);
}

HINTERNET InternetConnectW(HINTERNET session, LPCWSTR serverName, INTERNET_PORT port, LPCWSTR,
                           LPCWSTR, DWORD service, DWORD, DWORD_PTR) {
    Handle* p = lookup(session);
    if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (p->kind != Kind::Session) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return nullptr;
    }
    if (service != INTERNET_SERVICE_HTTP) {
        SetLastError(ERROR_INTERNET_INVALID_OPERATION);
        return nullptr;
    }
    std::string host = url_host(utf8(serverName));
    if (host.empty()) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    auto* c = new ConnectHandle;
    c->host = host;
    c->port = port ? port : INTERNET_DEFAULT_HTTP_PORT;
    return adopt(c, p);
}

HINTERNET HttpOpenRequestW(HINTERNET connect, LPCWSTR verb, LPCWSTR objectName, LPCWSTR, LPCWSTR,
                           LPCWSTR*, DWORD flags, DWORD_PTR) {
    Handle* p = lookup(connect);
    if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (p->kind != Kind::Connect) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return nullptr;
    }
    auto* c = static_cast<ConnectHandle*>(p);
    std::string path = utf8(objectName);
    if (path.empty())
        path.push_back('/'); // (not path = "/": GCC 12 misreads that as an overlapping copy)
    if (path.front() != '/') {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    auto* r = new RequestHandle;
    r->verb = verb && *verb ? utf8(verb) : "GET";
    r->url = "http://" + c->host + ":" + std::to_string(c->port) + url_path(path);
    r->flags = flags;
    return adopt(r, p);
}

BOOL HttpSendRequestW(HINTERNET request, LPCWSTR headers, DWORD headersLength, LPVOID,
                      DWORD optionalLength) {
    RequestHandle* r = request_arg(request);
    if (!r)
        return FALSE;
    if (r->state != RequestState::Opened) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
        return FALSE;
    }
    if (optionalLength > 0) { // this client sends no request bodies
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SessionHandle* s = session_of(r);
    r->easy = curl_easy_init();
    if (!r->easy) {
        fail(r, ERROR_INTERNET_INTERNAL_ERROR);
        return FALSE;
    }
    CURL* e = r->easy;
    curl_easy_setopt(e, CURLOPT_URL, r->url.c_str());
    curl_easy_setopt(e, CURLOPT_PRIVATE, r);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, s->connectMs);
    if (!s->agent.empty())
        curl_easy_setopt(e, CURLOPT_USERAGENT, s->agent.c_str());
    if (s->direct)
        curl_easy_setopt(e, CURLOPT_PROXY, "");
    if (r->verb == "HEAD")
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
    else if (r->verb != "GET")
        curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, r->verb.c_str());
    if (r->flags & INTERNET_FLAG_RELOAD) {
        r->headers = curl_slist_append(r->headers, "Cache-Control: no-cache");
        r->headers = curl_slist_append(r->headers, "Pragma: no-cache");
    }
    if (headers) {
        // Extra headers, one a line, CRLF or LF between them.
        std::string all = headersLength == DWORD(-1)
                              ? utf8(headers)
                              : utf8(std::u16string(headers, headersLength).c_str());
        size_t start = 0;
        while (start < all.size()) {
            size_t end = all.find('\n', start);
            if (end == std::string::npos)
                end = all.size();
            std::string line = all.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                r->headers = curl_slist_append(r->headers, line.c_str());
            start = end + 1;
        }
    }
    if (r->headers)
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, r->headers);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, on_header);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, r);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, on_body);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, r);
    if (curl_multi_add_handle(s->multi, e) != CURLM_OK) {
        fail(r, ERROR_INTERNET_INTERNAL_ERROR);
        return FALSE;
    }
    r->inMulti = true;
    r->state = RequestState::Sent;
    r->lastByte = Steady::now();
    DWORD code = pump(r, [r] { return r->headersDone; });
    if (code == 0 && !r->headersDone) {
        // The transfer ended before a complete answer.
        code = r->result != CURLE_OK ? map_curl_error(r->result, r->osErrno)
                                     : ERROR_HTTP_INVALID_SERVER_RESPONSE;
    }
    if (code != 0) {
        fail(r, code);
        return FALSE;
    }
    return TRUE;
}

BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD toRead, LPDWORD read) {
    RequestHandle* r = request_arg(request);
    if (!r)
        return FALSE;
    if (!read || (!buffer && toRead > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *read = 0;
    if (r->state == RequestState::Failed) {
        SetLastError(r->failure);
        return FALSE;
    }
    if (r->state == RequestState::Opened) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
        return FALSE;
    }
    auto held = [r] { return r->body.size() - r->bodyPos; };
    if (held() == 0 && r->state == RequestState::Sent) {
        if (r->paused) {
            r->paused = false;
            curl_easy_pause(r->easy, CURLPAUSE_CONT); // hands over the piece it kept back
        }
        DWORD code = held() ? 0 : pump(r, [&] { return held() > 0; });
        if (code == 0 && held() == 0 && r->finished) {
            code = map_curl_error(r->result, r->osErrno);
            if (code == 0) {
                r->state = RequestState::Finished;
                release_transfer(r); // the connection goes back to the session for reuse
            }
        }
        if (code != 0) {
            fail(r, code);
            return FALSE;
        }
    }
    size_t n = std::min<size_t>(held(), toRead);
    if (n > 0) {
        std::memcpy(buffer, r->body.data() + r->bodyPos, n);
        r->bodyPos += n;
        if (r->bodyPos == r->body.size()) {
            r->body.clear();
            r->bodyPos = 0;
        }
    }
    *read = DWORD(n);
    return TRUE;
}

BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD length, LPDWORD) {
    RequestHandle* r = request_arg(request);
    if (!r)
        return FALSE;
    if (!length) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (r->status == 0) { // nothing has been received
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
        return FALSE;
    }
    DWORD level = infoLevel & 0xffff;
    bool number = (infoLevel & HTTP_QUERY_FLAG_NUMBER) != 0;
    long long value = -1;
    std::string text;
    switch (level) {
        case HTTP_QUERY_STATUS_CODE: value = r->status; break;
        case HTTP_QUERY_CONTENT_LENGTH: value = r->contentLength; break;
        case HTTP_QUERY_STATUS_TEXT:
            if (number) {
                SetLastError(ERROR_HTTP_INVALID_QUERY_REQUEST);
                return FALSE;
            }
            text = r->reason;
            break;
        default: SetLastError(ERROR_HTTP_HEADER_NOT_FOUND); return FALSE;
    }
    if (level != HTTP_QUERY_STATUS_TEXT) {
        if (value < 0) {
            SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
            return FALSE;
        }
        if (number) {
            if (*length < sizeof(DWORD) || !buffer) {
                *length = sizeof(DWORD);
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return FALSE;
            }
            DWORD v = DWORD(value);
            std::memcpy(buffer, &v, sizeof v);
            *length = sizeof v;
            return TRUE;
        }
        text = std::to_string(value);
    }
    // Text: the header's bytes widened one to one (headers are ASCII; anything else is
    // read as the 8-bit text it is).
    std::vector<WCHAR> wide(text.size() + 1);
    WidenHs(wide.data(), wide.size(), text.c_str());
    size_t chars = WcsLen(wide.data());
    DWORD need = DWORD((chars + 1) * sizeof(WCHAR));
    if (!buffer || *length < need) {
        *length = need;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, wide.data(), need);
    *length = DWORD(chars * sizeof(WCHAR));
    return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
    Handle* h = lookup(handle);
    if (!h) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    destroy(h);
    return TRUE;
}
