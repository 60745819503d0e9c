// Every platform test starts from, and leaves behind, a platform as a fresh process has it.
#pragma once

#include <gtest/gtest.h>

#include "platform/Platform.h"

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::ResetPlatform(); }
    void TearDown() override { platform::ResetPlatform(); }
};
