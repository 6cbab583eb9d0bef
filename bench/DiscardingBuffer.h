#pragma once

#include <streambuf>

// A stream buffer that drops everything: the trace is not part of what is measured.
class DiscardingBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};
