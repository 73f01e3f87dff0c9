// The engine thread and its hand-over with the main thread through three events.
#include <cstdio>
#include <memory>
#include <thread>

#include "platform/event.h"
#include "protocol/engine_control.h"
#include "protocol/engine_events.h"
#include "protocol/game_log.h"
#include "search/search.h"

namespace vostil {

std::atomic<int> engineState{ENGINE_AWAITING_MOVE};
std::atomic<bool> stopFlag{false};
std::atomic<bool> failLowFlag{false};
std::atomic<int> depthLimit{MAX_DEPTH_LIMIT};

std::unique_ptr<Event> startSignal;
std::unique_ptr<Event> stoppedEvent;
std::unique_ptr<Event> startedEvent;

namespace {

std::thread engineThread;

// Names only need to tell the events of this process apart.
std::string eventName(const char* format, unsigned number) {
    char name[48];
    std::snprintf(name, sizeof name, format, number);
    return name;
}

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
    startSignal = std::make_unique<Event>(false, false, eventName("Engine start signal %x", 1));
    engineState = ENGINE_AWAITING_MOVE;
    stoppedEvent = std::make_unique<Event>(true, false, eventName("Engine Stopped signal %x", 2));
    startedEvent = std::make_unique<Event>(false, false, eventName("Engine Started signal %x", 3));
    engineThread = std::thread(engineThreadMain);
}

void joinEngineThread() {
    if (engineThread.joinable()) engineThread.join();
}

void stopEngine() {
    engineState = ENGINE_IDLE;
    stopFlag = true;
    stoppedEvent->wait();
}

void startEngine(int depth) {
    depthLimit = depth >= MAX_DEPTH_LIMIT ? MAX_DEPTH_LIMIT : depth;
    stopFlag = false;
    startSignal->set();
    startedEvent->wait();
}

}  // namespace vostil
