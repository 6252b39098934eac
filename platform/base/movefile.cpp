// Deleting and renaming files by their UTF-16 names.
#include "platform/base/base.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string native(LPCWSTR path) {
    size_t n = PathToNative(nullptr, 0, path);
    std::string out(n + 1, '\0');
    out.resize(PathToNative(out.data(), out.size(), path));
    return out;
}

// Flushes what the system holds of a file (or a folder's entries) to the disk.
bool sync_path(const std::string& path, int flags) {
    int fd = open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = fsync(fd) == 0;
    int err = errno;
    close(fd);
    errno = err;
    return ok;
}

std::string folder_of(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

BOOL DeleteFileW(LPCWSTR path) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (unlink(native(path).c_str()) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR newName, DWORD flags) {
    if (!existing || !newName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string from = native(existing);
    std::string to = native(newName);
    struct stat st;
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && lstat(to.c_str(), &st) == 0) {
        SetLastError(ErrorFromErrno(EEXIST));
        return FALSE;
    }
    if ((flags & MOVEFILE_WRITE_THROUGH) && !sync_path(from, O_RDONLY)) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    if (rename(from.c_str(), to.c_str()) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    // The new name lives in the folder's entries.
    if ((flags & MOVEFILE_WRITE_THROUGH) && !sync_path(folder_of(to), O_RDONLY | O_DIRECTORY)) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
