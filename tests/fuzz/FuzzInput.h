#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Reads fixed-size values from the front of a fuzzer's input; past its end
// every value reads as zero bits.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    template <typename Value> Value next() {
        unsigned char bytes[sizeof(Value)] = {};
        if (read < size) {
            std::memcpy(bytes, data + read, std::min(sizeof(Value), size - read));
        }
        read += sizeof(Value);
        Value value;
        std::memcpy(&value, bytes, sizeof(Value));
        return value;
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t read = 0;
};

// Equal bit for bit, or both NaN.
inline bool sameFloat(float got, float expected) {
    std::uint32_t gotBits = 0, expectedBits = 0;
    std::memcpy(&gotBits, &got, sizeof got);
    std::memcpy(&expectedBits, &expected, sizeof expected);
    return (got != got && expected != expected) || gotBits == expectedBits;
}
