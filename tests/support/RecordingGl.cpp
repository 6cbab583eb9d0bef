#include "tests/support/RecordingGl.h"
#include "tests/support/CallFormat.h"
#include "tests/support/GraphicsCalls.h"

#include <GL/glut.h>

std::vector<std::string>& recordedCalls() {
    static std::vector<std::string> calls;
    return calls;
}

// Each stand-in records its call and returns a zero of its result's type.
#define RECORD(result, api, name, parameters, arguments)                                           \
    result api name parameters {                                                                   \
        recordedCalls().push_back(formatCall(#name, std::make_tuple arguments));                   \
        return result();                                                                           \
    }
WIBBLE_GRAPHICS_CALLS(RECORD)
