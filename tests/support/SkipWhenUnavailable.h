#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Skips the running test, saying why, when `why` is not empty: what it tests
// cannot be had on this machine. Where WIBBLE_REQUIRE_EVERY_PACKAGE is set, as
// CI sets it where every package can be built, the test fails instead.
#define SKIP_WHEN_UNAVAILABLE(why)                                                                 \
    do {                                                                                           \
        if (const std::string reason = (why); !reason.empty()) {                                   \
            if (std::getenv("WIBBLE_REQUIRE_EVERY_PACKAGE")) {                                     \
                GTEST_FAIL() << reason;                                                            \
            }                                                                                      \
            GTEST_SKIP() << reason;                                                                \
        }                                                                                          \
    } while (false)
