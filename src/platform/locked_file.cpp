// Windows refuses a second writer through the share mode of the open itself; elsewhere an
// advisory whole-file lock (flock) does it. Either lock belongs to the open file, not to a
// name, and goes with the process.
#include "platform/locked_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace vostil {

LockedFile::~LockedFile() { close(); }

#ifdef _WIN32

bool LockedFile::open(const char* name) {
    close();
    // Readers are welcome, a second writer is not: its open fails with a sharing violation.
    HANDLE h = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    if (!SetEndOfFile(h)) {
        CloseHandle(h);
        return false;
    }
    handle_ = h;
    return true;
}

void LockedFile::close() {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = nullptr;
}

bool LockedFile::isOpen() const { return handle_ != nullptr; }

bool LockedFile::write(const char* data, size_t size) {
    if (!isOpen()) return false;
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(handle_, data, DWORD(size), &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

#else

bool LockedFile::open(const char* name) {
    close();
    // Close-on-exec: a program started by this one must not keep the lock alive.
    int fd = ::open(name, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ftruncate(fd, 0) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void LockedFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool LockedFile::isOpen() const { return fd_ >= 0; }

bool LockedFile::write(const char* data, size_t size) {
    if (!isOpen()) return false;
    while (size > 0) {
        ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

#endif

}  // namespace vostil
