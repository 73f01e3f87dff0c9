// The choosing thread: chooseMove as the command loop would run it, and the announcement.
#include "game/background_move_choice.h"

#include <atomic>
#include <memory>
#include <thread>

#include "game/engine_control.h"
#include "movegen/legal_moves.h"
#include "platform/event.h"

namespace vostil {

namespace {

std::thread chooserThread;
MoveAnnouncer announcer = nullptr;
VerdictAnnouncer verdictAnnouncer = nullptr;
std::unique_ptr<Event> chooseSignal;   // main to chooser: a choice begins (automatic reset)
std::unique_ptr<Event> stopSignal;     // main to chooser: stopped from outside (manual)
std::unique_ptr<Event> announcedEvent; // chooser to main: the move is told (manual)
std::atomic<bool> chooserQuit{false};
bool choosing = false;  // main thread only: a choice has begun and has not been ended

void chooserMain() {
    for (;;) {
        chooseSignal->wait();
        if (chooserQuit.load()) return;
        // Without a legal move there is nothing to search: the verdict is told as it is.
        const Move legal = firstLegalMove();
        const MoveChoice choice = legal ? chooseMove() : MoveChoice{verdictWithoutMoves(), 0, false};
        // An analysis of a finished game shows its verdict now, not when it is stopped.
        if (!legal) verdictAnnouncer(choice.move);
        // The search has parked inside its thinking; it parks once more as an idle engine, so
        // that the next start finds it where starts expect it.
        if (legal && !choice.fromBook) {
            engineState = ENGINE_IDLE;
            startEngine(NO_DEPTH_LIMIT);
        }
        if (searchUntilStopped) stopSignal->wait();
        announcer(choice);
        announcedEvent->set();
    }
}

}  // namespace

void createChooserThread(VerdictAnnouncer announceVerdict, MoveAnnouncer announce) {
    verdictAnnouncer = announceVerdict;
    announcer = announce;
    // A thread made again after an earlier one ended (as each fuzzed conversation does).
    chooserQuit = false;
    choosing = false;
    chooseSignal = std::make_unique<Event>(false, false);
    stopSignal = std::make_unique<Event>(true, false);
    announcedEvent = std::make_unique<Event>(true, true);
    chooserThread = std::thread(chooserMain);
}

void joinChooserThread() {
    if (!chooserThread.joinable()) return;
    endMoveChoice();
    chooserQuit = true;
    chooseSignal->set();
    chooserThread.join();
}

void beginMoveChoice() {
    endMoveChoice();
    outsideStop = false;
    stopSignal->reset();
    announcedEvent->reset();
    choosing = true;
    chooseSignal->set();
}

void endMoveChoice() {
    if (!choosing) return;
    // Whichever comes first, this or the start of the search: the choosing thread checks the
    // flag once the search has begun.
    outsideStop = true;
    stopFlag = true;
    stopSignal->set();
    announcedEvent->wait();
    choosing = false;
}

bool moveChoiceUnderWay() { return choosing && !announcedEvent->waitFor(0); }

}  // namespace vostil
