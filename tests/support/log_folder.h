// A temporary folder of its own for a test that writes the engine's log: the test process
// moves into it and reopens Vostil.log there, so that test processes running side by side
// never write into or truncate one another's log. Leaving moves back and removes the folder.
#pragma once

#include <string>
#include <vector>

namespace vostil::testing {

class LogFolder {
public:
    // False when the folder could not be made or entered.
    bool enter();
    void leave();
    // Every line of the log written so far in this folder.
    std::vector<std::string> logLines() const;

private:
    std::string folder_;
    std::string previousFolder_;
};

}  // namespace vostil::testing
