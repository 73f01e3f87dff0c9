#include "support/engine_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace vostil::testing {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() < 0 ? 0 : int(left.count());
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

std::string readFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

namespace {

// Where this machine runs no 32-bit programs, Wine's 64-bit loader runs the 64-bit build
// beside the 32-bit one (its folder with 64 appended), as tests/windows/wine_loader.sh does.
const char* const WINE64_LOADER = "/usr/lib/wine/wine64";

// The folder VOSTIL_WINDOWS_BUILD names, without a trailing slash ("" for none).
std::string namedWindowsBuild() {
    const char* folder = std::getenv("VOSTIL_WINDOWS_BUILD");
    std::string name = folder ? folder : "";
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    return name;
}

bool usingThe64BitBuild() {
    static const bool noThirtyTwoBits =
        onPath("wine") && std::system("wine --version >/dev/null 2>&1") != 0;
    const std::string named = namedWindowsBuild();
    return noThirtyTwoBits && !named.empty() && access(WINE64_LOADER, X_OK) == 0 &&
           access((named + "64/vostil.exe").c_str(), R_OK) == 0;
}

std::string wineLoader() { return usingThe64BitBuild() ? WINE64_LOADER : "wine"; }

}  // namespace

std::string windowsBuildFolder() {
    const std::string named = namedWindowsBuild();
    return usingThe64BitBuild() ? named + "64" : named;
}

bool testingWindowsBuild() { return !windowsBuildFolder().empty(); }

std::string windowsBuildUnavailable() {
    if (!testingWindowsBuild()) return "";
    if (access((windowsBuildFolder() + "/vostil.exe").c_str(), R_OK) != 0)
        return "no Windows build in " + windowsBuildFolder() + " (make windows)";
    if (!onPath("wine")) return "Wine is not installed";
    return "";
}

std::string engineProgramName() { return testingWindowsBuild() ? "vostil.exe" : "vostil"; }

std::string buildProgram() {
    return testingWindowsBuild() ? windowsBuildFolder() + "/" + engineProgramName() : VOSTIL_BINARY;
}

std::string buildBook() {
    return (testingWindowsBuild() ? windowsBuildFolder() : std::string(VOSTIL_BUILD_DIR)) + "/Vostil.book";
}

Command commandRunning(const std::string& program) {
    if (testingWindowsBuild()) return {wineLoader(), program};
    return {program};
}

Command engineCommand() {
    // In bin/ of a folder of its own, so that ../share/vostil is also ours (and empty).
    struct BooklessCopy {
        std::string top, program;
        BooklessCopy() {
            char pattern[] = "/tmp/vostil-engine-XXXXXX";
            top = mkdtemp(pattern);
            std::filesystem::create_directory(top + "/bin");
            program = top + "/bin/" + engineProgramName();
            std::filesystem::copy_file(buildProgram(), program);
        }
        ~BooklessCopy() {
            std::error_code ignored;
            std::filesystem::remove_all(top, ignored);
        }
    };
    static const BooklessCopy copy;
    return commandRunning(copy.program);
}

const char* lineEnd() { return testingWindowsBuild() ? "\r\n" : "\n"; }

std::string withoutCarriageReturns(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) result.push_back(text[i]);
    return result;
}

EngineProcess::EngineProcess(bool withBook, const Command& command, const std::string& folder) {
    std::signal(SIGPIPE, SIG_IGN);  // a dead engine must fail a test, not kill the runner
    crlf_ = testingWindowsBuild();
    char pattern[] = "/tmp/vostil-test-XXXXXX";
    ownsFolder_ = folder.empty();
    folder_ = ownsFolder_ ? mkdtemp(pattern) : folder;
    if (withBook) {
        std::filesystem::copy_file(buildBook(), folder_ + "/Vostil.book");
    }
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    int inPipe[2], outPipe[2], errPipe[2];
    // Close-on-exec: no engine may hold another engine's pipes open.
    if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
        std::abort();
    pid_ = fork();
    if (pid_ == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) close(fd);
        if (chdir(folder_.c_str()) != 0) _exit(126);
        if (crlf_) {
            // The Windows build's own Wine prefix, made once before the tests; Wine's
            // diagnostics would only bury the engine's errors.
            setenv("WINEPREFIX", (windowsBuildFolder() + "/wineprefix").c_str(), 0);
            if (argv[0] == std::string(WINE64_LOADER)) setenv("WINELOADER", WINE64_LOADER, 0);
            setenv("WINEDEBUG", "-all", 0);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    in_ = inPipe[1];
    out_ = outPipe[0];
    err_ = errPipe[0];
}

EngineProcess::~EngineProcess() {
    if (in_ >= 0) close(in_);
    if (!exited_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
    if (err_ >= 0) close(err_);
    std::error_code ignored;
    if (ownsFolder_) std::filesystem::remove_all(folder_, ignored);
}

void EngineProcess::send(const std::string& text) {
    size_t done = 0;
    while (done < text.size() && in_ >= 0) {
        ssize_t n = write(in_, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += size_t(n);
    }
}

void EngineProcess::interrupt() {
    if (!exited_ && pid_ > 0) kill(pid_, SIGINT);
}

void EngineProcess::closeInput() {
    if (in_ >= 0) close(in_);
    in_ = -1;
}

// Reads whatever output is ready within timeoutMs.
void EngineProcess::pump(int timeoutMs) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (poll(fds, 2, timeoutMs) <= 0) return;
    char buffer[4096];
    if (out_ >= 0 && (fds[0].revents & (POLLIN | POLLHUP))) {
        ssize_t n = read(out_, buffer, sizeof buffer);
        if (n > 0) {
            rawOutput_.append(buffer, size_t(n));
            // Redone whole, so that a CR read before its LF goes once the LF arrives.
            if (crlf_) output_ = withoutCarriageReturns(rawOutput_);
            else output_.append(buffer, size_t(n));
        } else {
            close(out_);
            out_ = -1;
        }
    }
    if (err_ >= 0 && (fds[1].revents & (POLLIN | POLLHUP))) {
        ssize_t n = read(err_, buffer, sizeof buffer);
        if (n > 0) errors_.append(buffer, size_t(n));
        else { close(err_); err_ = -1; }
    }
}

bool EngineProcess::waitForOutput(const std::string& needle, int timeoutMs, size_t from) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (output_.find(needle, from) == std::string::npos) {
        if (out_ < 0 || remainingMs(deadline) == 0) return false;
        pump(std::min(remainingMs(deadline), 100));
    }
    return true;
}

bool EngineProcess::waitForExit(int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!exited_) {
        if (out_ >= 0 || err_ >= 0) pump(50);
        else usleep(10000);
        int status = 0;
        pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            exited_ = true;
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            // A daemon the engine started (Wine's server, when none was running) may hold
            // its output open: read what is there, within the time left.
            while ((out_ >= 0 || err_ >= 0) && remainingMs(deadline) > 0) pump(50);
            break;
        }
        if (remainingMs(deadline) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            exited_ = true;
            exitCode_ = -1;
            return false;
        }
    }
    return true;
}

std::string EngineProcess::rawLog(const std::string& name) const { return readFile(folder_ + "/" + name); }

std::string EngineProcess::log(const std::string& name) const {
    return crlf_ ? withoutCarriageReturns(rawLog(name)) : rawLog(name);
}

void EngineProcess::killNow() {
    if (exited_ || pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    exited_ = true;
    exitCode_ = 128 + SIGKILL;
}

EngineRun runEngine(const std::string& input, bool withBook, int timeoutMs) {
    EngineProcess engine(withBook);
    engine.send(input);
    engine.closeInput();
    EngineRun run;
    engine.waitForExit(timeoutMs);
    run.output = engine.output();
    run.rawOutput = engine.rawOutput();
    run.rawLog = engine.rawLog();
    run.errors = engine.errors();
    run.log = engine.log();
    run.exitedCleanly = engine.exitedCleanly();
    return run;
}

}  // namespace vostil::testing
