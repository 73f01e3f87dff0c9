// A book that is present but unreadable or malformed is still the one chosen: the user put
// it first, and an error says so, where a silent fall-through to another book would not.
#include "book/find_book_file.h"

#include <filesystem>
#include <system_error>

#include "book/opening_book.h"
#include "platform/executable_folder.h"

namespace vostil {

namespace {

bool fileExists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

}  // namespace

std::string findBookFile() {
    if (fileExists(BOOK_FILE_NAME)) return BOOK_FILE_NAME;
    const std::string& folder = executableFolder();
    if (!folder.empty()) {
        for (const std::string& path : {folder + "/../share/vostil/" + BOOK_FILE_NAME,
                                        folder + "/../share/games/vostil/" + BOOK_FILE_NAME,
                                        folder + "/" + BOOK_FILE_NAME})
            if (fileExists(path)) return path;
    }
    return BOOK_FILE_NAME;
}

}  // namespace vostil
