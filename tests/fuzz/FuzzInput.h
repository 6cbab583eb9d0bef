#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>

// The next fixed-size value from the front of a fuzzer's input, bit for bit,
// so that every float (NaN and infinities too) can be reached; past its end
// every value reads as zero bits.
template <typename Value> Value next(FuzzedDataProvider& input) {
    Value value{};
    input.ConsumeData(&value, sizeof value);
    return value;
}

// Equal bit for bit, or both NaN.
inline bool sameFloat(float got, float expected) {
    std::uint32_t gotBits = 0, expectedBits = 0;
    std::memcpy(&gotBits, &got, sizeof got);
    std::memcpy(&expectedBits, &expected, sizeof expected);
    return (got != got && expected != expected) || gotBits == expectedBits;
}
