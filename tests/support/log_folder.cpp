#include "support/log_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "common/log.h"

namespace vostil::testing {

bool LogFolder::enter() {
    char folderTemplate[] = "/tmp/vostil_test_XXXXXX";
    if (mkdtemp(folderTemplate) == nullptr) return false;
    folder_ = folderTemplate;
    char* previous = getcwd(nullptr, 0);
    if (previous == nullptr) return false;
    previousFolder_ = previous;
    std::free(previous);
    if (chdir(folder_.c_str()) != 0) return false;
    openGameLog();
    return true;
}

void LogFolder::leave() {
    if (folder_.empty()) return;
    if (!previousFolder_.empty() && chdir(previousFolder_.c_str()) == 0) openGameLog();
    std::remove((folder_ + "/Vostil.log").c_str());
    rmdir(folder_.c_str());
    folder_.clear();
}

std::vector<std::string> LogFolder::logLines() const {
    std::vector<std::string> lines;
    std::ifstream file(folder_ + "/Vostil.log");
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

}  // namespace vostil::testing
