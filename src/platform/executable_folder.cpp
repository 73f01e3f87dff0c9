// A GUI starts the engine in a folder of the user's choosing, so the files installed with it
// are found from where the program itself lies, not from the current folder.
#include "platform/executable_folder.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
#include <unistd.h>
#endif

namespace vostil {

namespace {

// The program's full file name, symbolic links resolved on Linux.
std::string executablePath() {
#if defined(_WIN32)
    char name[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, name, sizeof name);
    // A full buffer means the name was cut short.
    if (length == 0 || length >= sizeof name) return "";
    return std::string(name, length);
#elif defined(__linux__)
    char name[4096];
    ssize_t length = readlink("/proc/self/exe", name, sizeof name);
    if (length <= 0 || size_t(length) >= sizeof name) return "";
    return std::string(name, size_t(length));
#else
    return "";
#endif
}

std::string folderOf(const std::string& path) {
#if defined(_WIN32)
    const size_t slash = path.find_last_of("\\/");
#else
    const size_t slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace

const std::string& executableFolder() {
    static const std::string folder = folderOf(executablePath());
    return folder;
}

}  // namespace vostil
