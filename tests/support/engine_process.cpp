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

}  // namespace

EngineProcess::EngineProcess(bool withBook, const char* binary) {
    std::signal(SIGPIPE, SIG_IGN);  // a dead engine must fail a test, not kill the runner
    char pattern[] = "/tmp/vostil-test-XXXXXX";
    folder_ = mkdtemp(pattern);
    if (withBook)
        std::filesystem::copy_file(std::string(VOSTIL_BUILD_DIR) + "/Vostil.book",
                                   folder_ + "/Vostil.book");
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe(inPipe) != 0 || pipe(outPipe) != 0 || pipe(errPipe) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) close(fd);
        if (chdir(folder_.c_str()) != 0) _exit(126);
        execl(binary, binary, static_cast<char*>(nullptr));
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
    std::filesystem::remove_all(folder_, ignored);
}

void EngineProcess::send(const std::string& text) {
    size_t done = 0;
    while (done < text.size() && in_ >= 0) {
        ssize_t n = write(in_, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += size_t(n);
    }
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
        if (n > 0) output_.append(buffer, size_t(n));
        else { close(out_); out_ = -1; }
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
            while (out_ >= 0 || err_ >= 0) pump(50);
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

void EngineProcess::killNow() {
    if (exited_ || pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    exited_ = true;
    exitCode_ = 128 + SIGKILL;
}

std::string EngineProcess::log() const {
    std::ifstream file(folder_ + "/Vostil.log", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

EngineRun runEngine(const std::string& input, bool withBook, int timeoutMs) {
    EngineProcess engine(withBook);
    engine.send(input);
    engine.closeInput();
    EngineRun run;
    engine.waitForExit(timeoutMs);
    run.output = engine.output();
    run.errors = engine.errors();
    run.log = engine.log();
    run.exitedCleanly = engine.exitedCleanly();
    return run;
}

}  // namespace vostil::testing
