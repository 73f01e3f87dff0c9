// Runs the built engine as a child process in a temporary folder of its own, the way an
// interface does: protocol text in on a pipe, standard output and error read back.
//
// The engine under test is the native build, or the Windows build under Wine when the
// environment variable VOSTIL_WINDOWS_BUILD names the folder holding vostil.exe: the same
// conversations then drive either build.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace vostil::testing {

// A program and its arguments; the program is looked up on PATH when it has no slash.
using Command = std::vector<std::string>;

// The folder of the Windows build under test, or "" when the native build is tested.
std::string windowsBuildFolder();
bool testingWindowsBuild();
// Why the Windows build cannot be run here (no vostil.exe, no Wine), or "" when it can.
std::string windowsBuildUnavailable();
// The build under test's engine program and book.
std::string buildProgram();
std::string buildBook();
// The file name of the engine program: "vostil", or "vostil.exe" for Windows.
std::string engineProgramName();
// Runs the given copy of the build's engine program (under Wine for the Windows build).
Command commandRunning(const std::string& program);
// The engine of the build under test, copied once per test process into a folder of its own:
// the engine also looks for its book beside itself, and beside the build's program lies the
// build's book. So a run finds a book only where its test put one.
Command engineCommand();
// The line end of the build under test's text output: "\r\n" on Windows, "\n" elsewhere.
const char* lineEnd();

class EngineProcess {
public:
    // withBook copies the build's Vostil.book into the run folder. A folder given (another
    // engine's) is shared and left in place; by default the engine runs in a fresh one.
    explicit EngineProcess(bool withBook = false, const Command& command = engineCommand(),
                           const std::string& folder = "");
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    void send(const std::string& text);
    void closeInput();
    // Sends SIGINT, as xboard does and as Wine turns into the console's Ctrl-C.
    void interrupt();
    // Reads output until `needle` appears after `from` (an offset into output()).
    bool waitForOutput(const std::string& needle, int timeoutMs, size_t from = 0);
    // Waits for the process to end; false on time-out (the process is then killed).
    bool waitForExit(int timeoutMs);
    // Ends the process at once with SIGKILL, as a crash or a user would.
    void killNow();
    // True when the process ended by itself with exit code 0.
    bool exitedCleanly() const { return exited_ && exitCode_ == 0; }
    // The exit code, 128 + the signal for a process a signal ended, -1 before it ended.
    int exitCode() const { return exitCode_; }

    // Output and log with the Windows build's CR LF line ends read as LF, so that one set
    // of expectations serves both builds; the raw forms keep the bytes as written.
    const std::string& output() const { return output_; }
    const std::string& rawOutput() const { return rawOutput_; }
    const std::string& errors() const { return errors_; }
    std::string log(const std::string& name = "Vostil.log") const;
    std::string rawLog(const std::string& name = "Vostil.log") const;
    const std::string& folder() const { return folder_; }

private:
    void pump(int timeoutMs);

    std::string folder_;
    bool ownsFolder_ = true;
    bool crlf_ = false;
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
    std::string output_, rawOutput_, errors_;
    bool exited_ = false;
    int exitCode_ = -1;
};

// Feeds `input`, closes standard input and waits for the engine to end.
struct EngineRun {
    std::string output, rawOutput, errors, log, rawLog;
    bool exitedCleanly = false;
};
EngineRun runEngine(const std::string& input, bool withBook = false, int timeoutMs = 30000);

// CR LF pairs read as LF.
std::string withoutCarriageReturns(const std::string& text);

}  // namespace vostil::testing
