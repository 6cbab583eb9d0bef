// Preloaded into the viewer: writes every OpenGL and GLUT call the program
// makes, and every callback GLUT makes into it, to the file named by
// WIBBLE_CALL_LOG, one line each, then hands the call on. After each frame it
// writes the heap memory the process has in use to the file named by
// WIBBLE_HEAP_LOG.
#include "tests/support/CallFormat.h"
#include "tests/support/GraphicsCalls.h"

#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <malloc.h>
#include <string>

namespace {

// The file named by the environment variable `variable`, if it names one.
FILE* openLog(const char* variable) noexcept {
    const char* path = std::getenv(variable);
    return path ? std::fopen(path, "w") : nullptr;
}
FILE* const callLog = openLog("WIBBLE_CALL_LOG");
FILE* const heapLog = openLog("WIBBLE_HEAP_LOG");

void logLine(FILE* log, const std::string& line) {
    if (log) {
        std::fputs((line + '\n').c_str(), log);
        std::fflush(log);
    }
}

template <typename Arguments> void record(const char* name, const Arguments& arguments) {
    logLine(callLog, formatCall(name, arguments));
}

template <typename Function> Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The function of that name in the library that the program would have reached.
#define REAL(function)                                                                             \
    [] {                                                                                           \
        static const auto real = next<decltype(&(function))>(#function);                           \
        return real;                                                                               \
    }()

// The tables' entries are names and lists, which take no parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
// The program's callbacks, and the recording ones GLUT is handed instead.
#define KEEP_AND_RECORD(registration, name, parameters, arguments)                                 \
    void(*name) parameters;                                                                        \
    void name##Called parameters {                                                                 \
        record(#name, std::make_tuple arguments);                                                  \
        name arguments;                                                                            \
        if (std::strcmp(#name, "display") == 0) {                                                  \
            logLine(heapLog, std::to_string(mallinfo2().uordblks));                                \
        }                                                                                          \
    }
WIBBLE_CALLBACKS(KEEP_AND_RECORD)

std::string words(int count, char** vector) {
    std::string joined;
    for (int i = 0; i < count; ++i) {
        joined += std::string(i ? " " : "") + vector[i];
    }
    return joined;
}

} // namespace

void FGAPIENTRY glutInit(int* argc, char** argv) {
    logLine(callLog, "glutInit(" + words(*argc, argv) + ")");
    REAL(glutInit)(argc, argv);
    logLine(callLog, "glutInit left " + words(*argc, argv));
}

#define RECORD_AND_PASS_ON(result, api, name, parameters, arguments)                               \
    result api name parameters {                                                                   \
        record(#name, std::make_tuple arguments);                                                  \
        return REAL(name) arguments;                                                               \
    }
WIBBLE_GRAPHICS_CALLS(RECORD_AND_PASS_ON)

// Puts the recording callback between GLUT and the program's own.
#define INTERPOSE(registration, name, parameters, arguments)                                       \
    void FGAPIENTRY registration(void(*callback) parameters) {                                     \
        record(#registration, std::make_tuple(callback ? "callback" : "none"));                    \
        name = callback;                                                                           \
        REAL(registration)(callback ? name##Called : nullptr);                                     \
    }
WIBBLE_CALLBACKS(INTERPOSE)
// NOLINTEND(bugprone-macro-parentheses)
