// tarnwick-ctl: sends one automation request to the running Tarnwick over the desktop
// socket and prints the reply. One verb per request; see usage().
#include "platform/host/desktop_socket.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

using nlohmann::json;

namespace {

const char kUsage[] =
    "usage: tarnwick-ctl VERB [ARGS]\n"
    "  windows                    top-level windows, topmost first\n"
    "  find TITLE                 handle of the window with that title, or null\n"
    "  activate W                 show W and make it the foreground window\n"
    "  controls W                 the controls of W in creation order\n"
    "  cells W ID                 every cell of list view ID of W\n"
    "  tap X Y                    stylus down and up at a screen point\n"
    "  drag X1 Y1 X2 Y2           stylus down, moves, up\n"
    "  choose W ID INDEX          pick item INDEX of control ID as a user would\n"
    "  command W ID               WM_COMMAND with ID to W, as a menu pick\n"
    "  minimize W                 what the top bar's X does to W\n"
    "  screenshot PATH            write the screen as a 240 x 320 PNG\n"
    "  cursor                     \"wait\" or \"none\"\n"
    "  idle [TIMEOUT_MS]          wait until nothing is queued, painted or timed\n"
    "  raw JSON                   send JSON as it stands, print the whole reply\n"
    "  pipe                       send each line of standard input as a request over one\n"
    "                             connection, print each whole reply line\n"
    "W is a window handle (an integer) or the exact title of a top-level window.\n"
    "The socket is $TARNWICK_DESKTOP, else $XDG_RUNTIME_DIR/tarnwick/desktop.sock,\n"
    "else /tmp/tarnwick-$UID/desktop.sock.\n";

int Usage(const char* problem) {
    if (problem)
        std::fprintf(stderr, "tarnwick-ctl: %s\n", problem);
    std::fputs(kUsage, stderr);
    return 2;
}

bool ParseInt(const char* text, long long* value) {
    if (!*text)
        return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text, &end, 10);
    if (*end || errno)
        return false;
    *value = v;
    return true;
}

// A window argument: all digits make a handle, anything else is a title.
json Window(const char* text) {
    long long handle;
    if (ParseInt(text, &handle) && handle >= 0)
        return handle;
    return text;
}

std::string Absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

struct Verb {
    const char* name;
    int args; // fixed count of arguments; -1: idle's optional one
};

const Verb kVerbs[] = {{"windows", 0}, {"find", 1},     {"activate", 1},   {"controls", 1},
                       {"cells", 2},   {"tap", 2},      {"drag", 4},       {"choose", 3},
                       {"command", 2}, {"minimize", 1}, {"screenshot", 1}, {"cursor", 0},
                       {"idle", -1},   {"raw", 1},      {"pipe", 0}};

// Builds the request of a verb; false (with the problem) for arguments that do not fit.
bool BuildRequest(const std::string& verb, char** a, int n, json* request, std::string* problem) {
    std::vector<long long> ints;
    auto numbers = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            long long v;
            if (!ParseInt(a[i], &v) || v < INT_MIN || v > INT_MAX) {
                *problem = std::string("not an integer: ") + a[i];
                return false;
            }
            ints.push_back(v);
        }
        return true;
    };
    json& r = *request;
    r["op"] = verb;
    if (verb == "find") {
        r["title"] = a[0];
    } else if (verb == "activate" || verb == "controls" || verb == "minimize") {
        r["window"] = Window(a[0]);
    } else if (verb == "cells" || verb == "command") {
        if (!numbers(1, 2))
            return false;
        r["window"] = Window(a[0]);
        r["id"] = ints[0];
    } else if (verb == "choose") {
        if (!numbers(1, 3))
            return false;
        r["window"] = Window(a[0]);
        r["id"] = ints[0];
        r["index"] = ints[1];
    } else if (verb == "tap") {
        if (!numbers(0, 2))
            return false;
        r["x"] = ints[0];
        r["y"] = ints[1];
    } else if (verb == "drag") {
        if (!numbers(0, 4))
            return false;
        r["from"] = {ints[0], ints[1]};
        r["to"] = {ints[2], ints[3]};
    } else if (verb == "screenshot") {
        // The program resolves a relative path against its own folder, not ours.
        r["path"] = Absolute(a[0]);
    } else if (verb == "idle" && n == 1) {
        if (!numbers(0, 1))
            return false;
        r["timeout_ms"] = ints[0];
    }
    return true;
}

// The reply's content: nothing for a bare ok, the value itself when there is one field
// (a string printed plainly), else the object without "ok".
void PrintContent(json reply) {
    reply.erase("ok");
    if (reply.empty())
        return;
    json shown = reply.size() == 1 ? reply.begin().value() : reply;
    if (shown.is_string())
        std::puts(shown.get<std::string>().c_str());
    else
        std::puts(shown.dump(-1, ' ', false, json::error_handler_t::replace).c_str());
}

// How long to wait for the reply to a request line: an idle request may rightly take its
// whole timeout first.
int ReplyTimeoutMs(const std::string& line) {
    int timeoutMs = 30000;
    json parsed = json::parse(line, nullptr, false);
    if (parsed.is_object() && parsed.value("op", json()) == "idle") {
        long long wait = 10000;
        if (parsed.contains("timeout_ms") && parsed["timeout_ms"].is_number_integer())
            wait = parsed["timeout_ms"].get<long long>();
        timeoutMs += static_cast<int>(std::clamp<long long>(wait, 0, INT_MAX - timeoutMs));
    }
    return timeoutMs;
}

// Sends one request line and reads its reply line; false (with the reason) otherwise.
bool Exchange(int fd, desktop::LineReader* reader, const std::string& line, std::string* reply,
              std::string* error) {
    if (!desktop::WriteAll(fd, line + "\n")) {
        *error = "the program closed the connection";
        return false;
    }
    desktop::LineReader::Result got = reader->Read(reply, SIZE_MAX / 2, ReplyTimeoutMs(line));
    if (got == desktop::LineReader::kLine)
        return true;
    *error = got == desktop::LineReader::kTimeout ? "no reply in time"
                                                  : "the program closed the connection";
    return false;
}

bool IsOk(const std::string& replyLine, json* reply) {
    *reply = json::parse(replyLine, nullptr, false);
    return reply->is_object() && reply->value("ok", false) == true;
}

int Pipe(int fd) {
    desktop::LineReader reader(fd);
    std::string line, replyLine, error;
    bool allOk = true;
    char* chunk = nullptr;
    size_t cap = 0;
    ssize_t n;
    while ((n = getline(&chunk, &cap, stdin)) >= 0) {
        line.assign(chunk, static_cast<size_t>(n));
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        if (!Exchange(fd, &reader, line, &replyLine, &error)) {
            std::fprintf(stderr, "tarnwick-ctl: %s\n", error.c_str());
            std::free(chunk);
            return 1;
        }
        std::puts(replyLine.c_str());
        json reply;
        allOk = IsOk(replyLine, &reply) && allOk;
    }
    std::free(chunk);
    return allOk ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage(nullptr);
    std::string verb = argv[1];
    if (verb == "-h" || verb == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const Verb* known = nullptr;
    for (const Verb& v : kVerbs)
        if (verb == v.name)
            known = &v;
    if (!known)
        return Usage(("unknown verb: " + verb).c_str());
    int n = argc - 2;
    if (known->args >= 0 ? n != known->args : n > 1)
        return Usage(("wrong number of arguments for " + verb).c_str());

    std::string line;
    if (verb == "raw") {
        line = argv[2];
        if (line.find('\n') != std::string::npos)
            return Usage("raw JSON must be one line");
    } else if (verb != "pipe") {
        json request;
        std::string problem;
        if (!BuildRequest(verb, argv + 2, n, &request, &problem))
            return Usage(problem.c_str());
        line = request.dump(-1, ' ', false, json::error_handler_t::replace);
    }

    std::string error;
    int fd = desktop::Connect(desktop::SocketPath(), &error);
    if (fd < 0) {
        std::fprintf(stderr, "tarnwick-ctl: %s (is Tarnwick running?)\n", error.c_str());
        return 1;
    }
    if (verb == "pipe") {
        int rc = Pipe(fd);
        close(fd);
        return rc;
    }
    desktop::LineReader reader(fd);
    std::string replyLine;
    bool answered = Exchange(fd, &reader, line, &replyLine, &error);
    close(fd);
    if (!answered) {
        std::fprintf(stderr, "tarnwick-ctl: %s\n", error.c_str());
        return 1;
    }
    if (verb == "raw")
        std::puts(replyLine.c_str());
    json reply;
    if (!IsOk(replyLine, &reply)) {
        std::string text = "request failed";
        if (reply.is_object() && reply.contains("error") && reply["error"].is_string())
            text = reply["error"].get<std::string>();
        else if (!reply.is_object())
            text = "reply is not a JSON object: " + replyLine;
        std::fprintf(stderr, "tarnwick-ctl: %s\n", text.c_str());
        return 1;
    }
    if (verb != "raw")
        PrintContent(reply);
    return 0;
}
