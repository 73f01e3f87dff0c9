// Test entry: the square tables must exist before any position is touched.
#include <gtest/gtest.h>

#include "board/tables.h"

int main(int argc, char** argv) {
    vostil::initTables();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
