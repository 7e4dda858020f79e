// main() for tests without a window system.
#include <gtest/gtest.h>

#include "tests/support/isolated_settings.h"

int main(int argc, char** argv) {
    vorn::test::IsolateSettings();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
