// Runs the built engine binary as a child process in a temporary folder of its own, the way
// an interface does: protocol text in on a pipe, standard output and error read back.
#pragma once

#include <string>
#include <sys/types.h>

namespace vostil::testing {

class EngineProcess {
public:
    // withBook copies the build's Vostil.book into the run folder.
    explicit EngineProcess(bool withBook = false, const char* binary = VOSTIL_BINARY);
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    void send(const std::string& text);
    void closeInput();
    // Reads output until `needle` appears after `from` (an offset into output()).
    bool waitForOutput(const std::string& needle, int timeoutMs, size_t from = 0);
    // Waits for the process to end; false on time-out (the process is then killed).
    bool waitForExit(int timeoutMs);
    // Ends the process at once with SIGKILL, as a crash or a user would.
    void killNow();
    // True when the process ended by itself with exit code 0.
    bool exitedCleanly() const { return exited_ && exitCode_ == 0; }

    const std::string& output() const { return output_; }
    const std::string& errors() const { return errors_; }
    std::string log() const;
    const std::string& folder() const { return folder_; }

private:
    void pump(int timeoutMs);

    std::string folder_;
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
    std::string output_, errors_;
    bool exited_ = false;
    int exitCode_ = -1;
};

// Feeds `input`, closes standard input and waits for the engine to end.
struct EngineRun {
    std::string output, errors, log;
    bool exitedCleanly = false;
};
EngineRun runEngine(const std::string& input, bool withBook = false, int timeoutMs = 30000);

}  // namespace vostil::testing
