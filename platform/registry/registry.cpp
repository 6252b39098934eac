// HKEY_LOCAL_MACHINE & co. over one registry file. Every call reads the file afresh, so
// the installer and the program see each other's writes; every change rewrites it
// whole, atomically, under a lock.
#include "platform/registry/registry.h"
#include "platform/registry/regfile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#define ERROR_KEY_DELETED 1018L

using regfile::Document;
using regfile::Key;
using regfile::Value;

struct HKEY__ {
    std::u16string path; // full path with its root
};

namespace {

std::mutex handlesLock;
std::set<HKEY> handles;

std::string FilePath() {
    const char* env = getenv("TARNWICK_REGISTRY");
    if (env && *env)
        return env;
    const char* xdg = getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return std::string(xdg) + "/tarnwick/registry.reg";
    const char* home = getenv("HOME");
    if (!home || !*home) {
        passwd* pw = getpwuid(getuid());
        home = pw && pw->pw_dir ? pw->pw_dir : "/";
    }
    return std::string(home) + "/.config/tarnwick/registry.reg";
}

enum class Load { Ok, Missing, Corrupt, Unreadable };

Load ReadFile(const std::string& path, std::string* bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Load::Missing : Load::Unreadable;
    bytes->clear();
    char buf[8192];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return Load::Unreadable;
        }
        if (n == 0)
            break;
        bytes->append(buf, (size_t)n);
    }
    close(fd);
    return Load::Ok;
}

Load LoadDocument(const std::string& path, Document* doc) {
    std::string bytes;
    Load load = ReadFile(path, &bytes);
    if (load != Load::Ok)
        return load;
    return regfile::Parse(bytes, doc) ? Load::Ok : Load::Corrupt;
}

LONG LoadError(Load load) {
    switch (load) {
        case Load::Ok: return ERROR_SUCCESS;
        case Load::Missing: return ERROR_FILE_NOT_FOUND;
        case Load::Corrupt: return ERROR_BADDB;
        case Load::Unreadable: return ERROR_CANTREAD;
    }
    return ERROR_CANTREAD;
}

bool MakeDirs(const std::string& dir) {
    if (dir.empty())
        return true;
    struct stat st;
    if (stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirs(dir.substr(0, slash)))
        return false;
    return mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string DirName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes the text beside the file and renames it over the file, so a reader sees the
// old file or the new one, never a part of either.
bool ReplaceFile(const std::string& path, const std::string& text) {
    std::string tmpl = path + ".XXXXXX";
    int fd = mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    fchmod(fd, stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
    size_t done = 0;
    bool ok = true;
    while (ok && done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += (size_t)n;
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok)
        ok = rename(tmpl.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(tmpl.c_str());
        return false;
    }
    int dirFd = open(DirName(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

// A change to the file: the lock is held from reading it to replacing it, so changes of
// two processes never undo each other.
class Change {
  public:
    Change() {
        path_ = FilePath();
        char resolved[PATH_MAX];
        struct stat st;
        if (lstat(path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
            realpath(path_.c_str(), resolved))
            path_ = resolved; // keep the link, change what it points to
        if (!MakeDirs(DirName(path_))) {
            error_ = ERROR_CANTWRITE;
            return;
        }
        lockFd_ = open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (lockFd_ < 0) {
            error_ = ERROR_CANTWRITE;
            return;
        }
        while (flock(lockFd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = ERROR_LOCK_VIOLATION;
                return;
            }
        }
        Load load = LoadDocument(path_, &doc_);
        if (load == Load::Missing)
            doc_ = Document{};
        else if (load != Load::Ok)
            error_ = LoadError(load); // a file we cannot read is never written over
    }
    ~Change() {
        if (lockFd_ >= 0)
            close(lockFd_); // closing releases the lock
    }
    LONG Error() const { return error_; }
    Document& Doc() { return doc_; }
    LONG Commit() {
        return ReplaceFile(path_, regfile::Serialize(doc_)) ? ERROR_SUCCESS : ERROR_CANTWRITE;
    }

  private:
    std::string path_;
    int lockFd_ = -1;
    LONG error_ = ERROR_SUCCESS;
    Document doc_;
};

bool IsRoot(HKEY key) {
    return key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT;
}

// The full path of key + subKey; false for a handle that is not open or a bad name.
bool FullPath(HKEY key, LPCWSTR subKey, std::u16string* path, LONG* error) {
    if (key == HKEY_LOCAL_MACHINE) {
        *path = u"HKEY_LOCAL_MACHINE";
    } else if (key == HKEY_CURRENT_USER) {
        *path = u"HKEY_CURRENT_USER";
    } else if (key == HKEY_CLASSES_ROOT) {
        *path = u"HKEY_CLASSES_ROOT";
    } else {
        std::lock_guard<std::mutex> guard(handlesLock);
        if (!handles.count(key)) {
            *error = ERROR_INVALID_HANDLE;
            return false;
        }
        *path = key->path;
    }
    if (!subKey)
        return true;
    std::u16string part;
    for (LPCWSTR p = subKey;; ++p) {
        if (*p == u'\\' || *p == 0) {
            if (!part.empty())
                *path += u"\\" + part;
            part.clear();
            if (*p == 0)
                break;
        } else if (*p < 0x20) {
            *error = ERROR_INVALID_PARAMETER;
            return false;
        } else {
            part.push_back(*p);
        }
    }
    return true;
}

HKEY NewHandle(const std::u16string& path) {
    HKEY h = new HKEY__{path};
    std::lock_guard<std::mutex> guard(handlesLock);
    handles.insert(h);
    return h;
}

bool ValueNameOk(LPCWSTR name) {
    for (LPCWSTR p = name; p && *p; ++p)
        if (*p < 0x20)
            return false;
    return true;
}

} // namespace

size_t RegistryFilePath(char* dst, size_t cap) {
    std::string path = FilePath();
    if (!dst)
        return path.size();
    if (cap == 0)
        return 0;
    size_t n = std::min(path.size(), cap - 1);
    memcpy(dst, path.data(), n);
    dst[n] = 0;
    return n;
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::u16string path;
    LONG error = ERROR_SUCCESS;
    if (!FullPath(key, subKey, &path, &error))
        return error;
    if (IsRoot(key) && path.find(u'\\') == std::u16string::npos) {
        *result = key;
        return ERROR_SUCCESS;
    }
    Document doc;
    Load load = LoadDocument(FilePath(), &doc);
    if (load != Load::Ok)
        return LoadError(load);
    Key* k = regfile::FindKey(doc, path);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(k->path);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, void*, PHKEY result,
                     LPDWORD disposition) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::u16string path;
    LONG error = ERROR_SUCCESS;
    if (!FullPath(key, subKey, &path, &error))
        return error;
    if (IsRoot(key) && path.find(u'\\') == std::u16string::npos) {
        *result = key;
        if (disposition)
            *disposition = REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    }
    Change change;
    if (change.Error())
        return change.Error();
    Document& doc = change.Doc();
    if (Key* k = regfile::FindKey(doc, path)) {
        *result = NewHandle(k->path);
        if (disposition)
            *disposition = REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    }
    // Every key on the way gets its own section, as in an export of the tree.
    for (size_t slash = path.find(u'\\'); slash != std::u16string::npos;
         slash = path.find(u'\\', slash + 1)) {
        std::u16string parent = path.substr(0, slash);
        if (parent.find(u'\\') != std::u16string::npos && !regfile::FindKey(doc, parent))
            doc.keys.push_back(Key{parent, {}});
    }
    doc.keys.push_back(Key{path, {}});
    if (LONG e = change.Commit())
        return e;
    *result = NewHandle(path);
    if (disposition)
        *disposition = REG_CREATED_NEW_KEY;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    std::u16string path;
    LONG error = ERROR_SUCCESS;
    if (!FullPath(key, nullptr, &path, &error))
        return error;
    Document doc;
    Load load = LoadDocument(FilePath(), &doc);
    if (load != Load::Ok)
        return LoadError(load);
    Key* k = regfile::FindKey(doc, path);
    if (!k)
        return IsRoot(key) ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    Value* v = regfile::FindValue(*k, name ? std::u16string(name) : std::u16string());
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = v->type;
    DWORD needed = (DWORD)v->data.size();
    if (!data) {
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed)
        memcpy(data, v->data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    if ((!data && size) || !ValueNameOk(name))
        return ERROR_INVALID_PARAMETER;
    std::u16string path;
    LONG error = ERROR_SUCCESS;
    if (!FullPath(key, nullptr, &path, &error))
        return error;
    if (IsRoot(key))
        return ERROR_ACCESS_DENIED; // values live in keys below the roots
    Change change;
    if (change.Error())
        return change.Error();
    Key* k = regfile::FindKey(change.Doc(), path);
    if (!k)
        return ERROR_KEY_DELETED;
    Value v{name ? std::u16string(name) : std::u16string(), type,
            std::vector<BYTE>(data, data + size)};
    if (Value* old = regfile::FindValue(*k, v.name)) {
        if (old->type == v.type && old->data == v.data)
            return ERROR_SUCCESS; // nothing changes, the file stays as it is
        old->type = v.type;
        old->data = v.data;
    } else {
        k->values.push_back(v);
    }
    return change.Commit();
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
    std::u16string path;
    LONG error = ERROR_SUCCESS;
    if (!FullPath(key, nullptr, &path, &error))
        return error;
    Change change;
    if (change.Error())
        return change.Error();
    Key* k = regfile::FindKey(change.Doc(), path);
    if (!k)
        return ERROR_FILE_NOT_FOUND;
    std::u16string wanted = name ? std::u16string(name) : std::u16string();
    for (auto it = k->values.begin(); it != k->values.end(); ++it) {
        if (regfile::SameName(it->name, wanted)) {
            k->values.erase(it);
            return change.Commit();
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY key) {
    if (IsRoot(key))
        return ERROR_SUCCESS;
    std::lock_guard<std::mutex> guard(handlesLock);
    if (!handles.erase(key))
        return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}
