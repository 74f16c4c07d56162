#pragma once

#include "support/fresh_state.h"

#include <gtest/gtest.h>

// Each test on a fresh state (`Resets`: the resets of the layers it touches) with German
// dates and numbers; both are put back afterwards.
template <void (*... Resets)()>
class GermanTest : public ::testing::Test, protected FreshState<Resets...> {
private:
    GermanFormats formats_;
};
