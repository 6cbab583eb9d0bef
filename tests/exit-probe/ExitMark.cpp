// Linked into a copy of the viewer: a global whose destruction marks the
// trace, so that a test sees whether the process ended through the runtime's
// termination handlers, which also destroy the global World.
#include <cstdio>

namespace {

struct ExitMark {
    ~ExitMark() { std::fputs("exit mark: termination handlers ran\n", stderr); }
};

ExitMark mark;

} // namespace
