#pragma once

#include <iostream>
#include <sstream>
#include <string>

// Collects what is written to the trace stream (standard error) while it lives.
class TraceCapture {
public:
    TraceCapture() : saved(std::cerr.rdbuf(captured.rdbuf())) {}
    ~TraceCapture() { std::cerr.rdbuf(saved); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::string text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* saved;
};

template <typename Printable> std::string traceOf(const Printable& printable) {
    TraceCapture trace;
    printable.print();
    return trace.text();
}
