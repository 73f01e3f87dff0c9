// The engine thread and its hand-over with the main thread through three events.
#include <memory>
#include <thread>

#include "platform/event.h"
#include "game/engine_control.h"
#include "game/engine_events.h"
#include "game/thinking_output.h"
#include "common/log.h"
#include "search/search.h"

namespace vostil {

std::atomic<int> engineState{ENGINE_AWAITING_MOVE};

std::unique_ptr<Event> startSignal;
std::unique_ptr<Event> stoppedEvent;
std::unique_ptr<Event> startedEvent;

namespace {

std::thread engineThread;

// What the search reports goes to the log, line by line.
void logSearchLine(const char* line) { logLine(line); }

void doNothing() {}

// Indexed by EngineState. Nothing ever enters the pondering slot; it parks like idle.
void (*const ENGINE_HANDLERS[5])() = {parkEngine, runThinking, parkEngine, parkEngine, doNothing};

}  // namespace

void parkEngine() {
    stoppedEvent->set();
    startSignal->wait();
    stoppedEvent->reset();
}

void runThinking() {
    startedEvent->set();
    startSearchClock();
    iterativeDeepening();
    parkEngine();
    startedEvent->set();
}

void engineThreadMain() {
    do {
        ENGINE_HANDLERS[engineState.load()]();
    } while (engineState.load() != ENGINE_QUIT);
    startedEvent->set();
}

void createEngineThread() {
    startSignal = std::make_unique<Event>(false, false);
    engineState = ENGINE_AWAITING_MOVE;
    stoppedEvent = std::make_unique<Event>(true, false);
    startedEvent = std::make_unique<Event>(false, false);
    searchReport = logSearchLine;
    iterationReport = reportIteration;
    engineThread = std::thread(engineThreadMain);
}

void joinEngineThread() {
    if (engineThread.joinable()) engineThread.join();
}

void quitEngineThread() {
    stopEngine();
    engineState = ENGINE_QUIT;
    startEngine(NO_DEPTH_LIMIT);
    joinEngineThread();
}

void stopEngine() {
    engineState = ENGINE_IDLE;
    wrapUpFlag = true;
    stopFlag = true;
    stoppedEvent->wait();
}

void startEngine(int depth) {
    depthLimit = depth >= MAX_DEPTH_LIMIT ? MAX_DEPTH_LIMIT : depth;
    stopFlag = false;
    wrapUpFlag = false;
    startSignal->set();
    startedEvent->wait();
}

}  // namespace vostil
