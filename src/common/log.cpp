// The log stream, opened by the program entry before anything else and closed at exit. It
// writes through a locked file, so that two engines started in one folder (an interface's
// player and its hint engine) never truncate or interleave each other's log.
#include "common/log.h"

#include <cstddef>
#include <cstdio>
#include <streambuf>

#include "platform/locked_file.h"

namespace vostil {

namespace {

constexpr size_t LOG_BUFFER_SIZE = 1024;

// A fixed buffer, so that writing a line allocates nothing, handed to the file at each flush
// and whenever it fills.
class LogBuffer : public std::streambuf {
public:
    LogBuffer() { discard(); }
    void discard() { setp(buffer_, buffer_ + LOG_BUFFER_SIZE); }

    LockedFile file;

protected:
    int_type overflow(int_type c) override {
        if (!writeOut()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override { return writeOut() ? 0 : -1; }

private:
    bool writeOut() {
        const char* text = pbase();
        const size_t size = size_t(pptr() - pbase());
        discard();
#ifdef _WIN32
        // Read as a Windows text file, as the log always was there: lines end in CR LF.
        char lines[2 * LOG_BUFFER_SIZE];
        size_t n = 0;
        for (size_t i = 0; i < size; ++i) {
            if (text[i] == '\n') lines[n++] = '\r';
            lines[n++] = text[i];
        }
        return file.write(lines, n);
#else
        return file.write(text, size);
#endif
    }

    char buffer_[LOG_BUFFER_SIZE];
};

LogBuffer logBuffer;
// "Vostil-99.log" and its end with room to spare.
char logName[32] = "";

// The caller holds gameLogMutex.
void closeLog() {
    gameLog.flush();
    logBuffer.file.close();
    logBuffer.discard();
    logName[0] = '\0';
    gameLog.setstate(std::ios::badbit);
}

}  // namespace

std::ostream gameLog(&logBuffer);
std::mutex gameLogMutex;

void openGameLog() {
    std::lock_guard<std::mutex> lock(gameLogMutex);
    closeLog();
    for (int attempt = 1; attempt <= LOG_NAME_ATTEMPTS; ++attempt) {
        if (attempt == 1) std::snprintf(logName, sizeof logName, "Vostil.log");
        else std::snprintf(logName, sizeof logName, "Vostil-%d.log", attempt);
        if (logBuffer.file.open(logName)) {
            gameLog.clear();
            return;
        }
    }
    logName[0] = '\0';
}

void closeGameLog() {
    std::lock_guard<std::mutex> lock(gameLogMutex);
    closeLog();
}

const char* gameLogName() { return logName; }

}  // namespace vostil
