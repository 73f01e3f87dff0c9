// Test entry: the log and the square tables must exist before any position is touched.
#include <gtest/gtest.h>

#include "board/tables.h"
#include "common/log.h"
#include "support/engine_process.h"

namespace {

// Conversations aimed at the Windows build skip themselves where it cannot run.
class WindowsBuildCheck : public ::testing::Environment {
public:
    void SetUp() override {
        const std::string missing = vostil::testing::windowsBuildUnavailable();
        if (!missing.empty()) GTEST_SKIP() << "Windows tests skipped: " << missing;
    }
};

}  // namespace

int main(int argc, char** argv) {
    // The log, as the engine opens it first of all.
    vostil::openGameLog();
    vostil::initTables();
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new WindowsBuildCheck);
    return RUN_ALL_TESTS();
}
