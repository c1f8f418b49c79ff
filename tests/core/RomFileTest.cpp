#include <gtest/gtest.h>

#include "rom/RomFile.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {
TEST(RomFile, Placeholder) {
    SUCCEED();
}
}  // namespace
}  // namespace slamwise
