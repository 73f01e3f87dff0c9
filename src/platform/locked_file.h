// A file that one process alone writes: created if need be, locked without waiting, and
// emptied only once the lock is held, so that a file another process is writing is never
// truncated. The system drops the lock when the process ends, however it ends.
#pragma once

#include <cstddef>

namespace vostil {

class LockedFile {
public:
    LockedFile() = default;
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Opens `name` emptied; false, with nothing open, when another process (or another
    // LockedFile) holds it or it cannot be created.
    bool open(const char* name);
    void close();
    bool isOpen() const;
    // Writes every byte at the end of what was written so far; false on a write error.
    bool write(const char* data, size_t size);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace vostil
