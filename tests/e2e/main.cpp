#include <gtest/gtest.h>

#include "system_registry.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    tonalis::testing::PrefixColorFolder colorFolder;
    const int result = RUN_ALL_TESTS();
    return result;
}
