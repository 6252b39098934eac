// tarnwick-install [--server HOST[:PORT]] PREFIX
//
// The last step of an installation: cmake --install has put the data files into
// PREFIX/share/tarnwick; this writes that directory as Install (and the data server as
// Server) under HKEY_LOCAL_MACHINE\Software\Vellmore\tarnwick. The user's settings in
// the same key are never touched, and running it again changes nothing.
#include "platform/registry/registry.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

const char kUsage[] = "usage: tarnwick-install [--server HOST[:PORT]] PREFIX\n";

std::u16string Wide(const std::string& s) {
    std::u16string w(WidenUtf8(nullptr, 0, s.c_str()), u'\0');
    WidenUtf8(w.data(), w.size() + 1, s.c_str());
    return w;
}

std::string RegistryFile() {
    std::string path(RegistryFilePath(nullptr, 0), '\0');
    RegistryFilePath(path.data(), path.size() + 1);
    return path;
}

bool ValidPort(const std::string& port) {
    if (port.empty() || port.size() > 5)
        return false;
    for (char c : port)
        if (c < '0' || c > '9')
            return false;
    long n = std::stol(port);
    return n >= 1 && n <= 65535;
}

// "host", "host:port", "[v6 address]" or "[v6 address]:port".
bool ValidServer(const std::string& server) {
    for (unsigned char c : server)
        if (c <= ' ' || c == 0x7F || c == '/' || c == '@')
            return false;
    std::string host = server, rest;
    if (!server.empty() && server[0] == '[') {
        size_t close = server.find(']');
        if (close == std::string::npos || close == 1)
            return false;
        host = server.substr(0, close + 1);
        rest = server.substr(close + 1);
        if (!rest.empty() && rest[0] != ':')
            return false;
    } else {
        size_t colon = server.find(':');
        if (colon != std::string::npos) {
            host = server.substr(0, colon);
            rest = server.substr(colon);
        }
    }
    if (host.empty())
        return false;
    return rest.empty() || ValidPort(rest.substr(1));
}

int Fail(const std::string& message) {
    fprintf(stderr, "tarnwick-install: %s\n", message.c_str());
    return 1;
}

std::string Explain(LONG error) {
    std::string file = RegistryFile();
    if (error == ERROR_BADDB)
        return "the registry file " + file +
               " is not a registry export that can be read; it was left as it is. Repair or "
               "remove it and run tarnwick-install again.";
    return "cannot write the registry file " + file + " (error " + std::to_string(error) + ")";
}

LONG SetText(HKEY key, LPCWSTR name, const std::u16string& text) {
    return RegSetValueExW(key, name, 0, REG_SZ, (const BYTE*)text.c_str(),
                          (DWORD)((text.size() + 1) * sizeof(WCHAR)));
}

} // namespace

int main(int argc, char** argv) {
    std::string server, prefix;
    bool haveServer = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--server" && i + 1 < argc) {
            server = argv[++i];
            haveServer = true;
        } else if (arg == "--server") {
            return Fail("--server needs HOST or HOST:PORT");
        } else if (arg.rfind("--server=", 0) == 0) {
            server = arg.substr(9);
            haveServer = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            fputs(kUsage, stderr);
            return Fail("unknown option " + arg);
        } else if (prefix.empty()) {
            prefix = arg;
        } else {
            fputs(kUsage, stderr);
            return Fail("only one PREFIX may be given");
        }
    }
    if (prefix.empty()) {
        fputs(kUsage, stderr);
        return 1;
    }
    if (haveServer && !ValidServer(server))
        return Fail("--server takes HOST or HOST:PORT (port 1 to 65535), not \"" + server + "\"");

    std::error_code ec;
    std::filesystem::path dir = std::filesystem::absolute(prefix, ec);
    if (ec)
        return Fail("cannot make " + prefix + " an absolute path: " + ec.message());
    dir = (dir / "share" / "tarnwick").lexically_normal();
    std::string data = dir.string();
    while (data.size() > 1 && data.back() == '/')
        data.pop_back();
    std::u16string install = Wide(data);
    // The program appends "\Standings.dat" (14 characters) to the directory in a path of
    // 259 characters.
    if (install.size() + 14 > MAX_PATH - 1)
        return Fail("the data directory " + data +
                    " is too long for the program's paths (at "
                    "most " +
                    std::to_string(MAX_PATH - 1 - 14) + " characters)");
    struct stat st;
    if (stat((data + "/Season.dat").c_str(), &st) != 0)
        fprintf(stderr,
                "tarnwick-install: warning: %s/Season.dat does not exist yet; run "
                "cmake --install with this prefix first\n",
                data.c_str());

    HKEY key;
    DWORD disposition;
    LONG error = RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Vellmore\\tarnwick", 0, nullptr, 0,
                                 0, nullptr, &key, &disposition);
    if (error != ERROR_SUCCESS)
        return Fail(Explain(error));
    error = SetText(key, u"Install", install);
    if (error == ERROR_SUCCESS && haveServer)
        error = SetText(key, u"Server", Wide(server));
    RegCloseKey(key);
    if (error != ERROR_SUCCESS)
        return Fail(Explain(error));
    printf("tarnwick-install: Install = %s%s%s (in %s)\n", data.c_str(),
           haveServer ? ", Server = " : "", haveServer ? server.c_str() : "",
           RegistryFile().c_str());
    return 0;
}
