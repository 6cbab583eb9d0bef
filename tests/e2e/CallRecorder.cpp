// Preloaded into the viewer: writes every OpenGL and GLUT call the program
// makes, and every callback GLUT makes into it, to the file named by
// WIBBLE_CALL_LOG, one line each, then hands the call on. After each frame it
// writes to the file named by WIBBLE_MEMORY_LOG the size the frame was drawn
// at (the last one reshape was given), the heap in use, every arena's and
// every block malloc mapped on its own (or what AddressSanitizer's allocator
// holds), in bytes, and the resident memory in KiB, on one line.
#include "tests/support/CallFormat.h"
#include "tests/support/GraphicsCalls.h"

#include <GL/glut.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <malloc.h>
#include <string>
#include <tuple>
#include <type_traits>
#include <unistd.h>

namespace {

// The file named by the environment variable `variable`, if it names one.
FILE* openLog(const char* variable) noexcept {
    const char* path = std::getenv(variable);
    return path ? std::fopen(path, "w") : nullptr;
}
FILE* const callLog = openLog("WIBBLE_CALL_LOG");
FILE* const memoryLog = openLog("WIBBLE_MEMORY_LOG");

void logLine(FILE* log, const std::string& line) {
    if (log) {
        std::fputs((line + '\n').c_str(), log);
        std::fflush(log);
    }
}

template <typename Arguments> void record(const char* name, const Arguments& arguments) {
    logLine(callLog, formatCall(name, arguments));
}

// The window's size as the program last heard it, before its first reshape GLUT's default.
int frameWidth = 300;
int frameHeight = 300;

template <typename Arguments> void noteSize(const char* name, const Arguments& arguments) {
    if constexpr (std::is_same_v<Arguments, std::tuple<int, int>>) {
        if (std::strcmp(name, "reshape") == 0) {
            std::tie(frameWidth, frameHeight) = arguments;
        }
    }
}

} // namespace

// AddressSanitizer's count of the heap in use, where the program runs with it:
// its allocator replaces malloc's, whose figures then read as zero.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the runtime's own name.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

namespace {

std::size_t heapInUse() {
    if (__sanitizer_get_current_allocated_bytes != nullptr) {
        return __sanitizer_get_current_allocated_bytes();
    }
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

void logMemory() {
    if (!memoryLog) {
        return;
    }
    long pages = 0, residentPages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &residentPages) != 2) {
            residentPages = -1;
        }
        std::fclose(statm);
    }
    logLine(memoryLog, std::to_string(frameWidth) + " " + std::to_string(frameHeight) + " " +
                           std::to_string(heapInUse()) + " " +
                           std::to_string(residentPages * (sysconf(_SC_PAGESIZE) / 1024)));
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
        noteSize(#name, std::make_tuple arguments);                                                \
        name arguments;                                                                            \
        if (std::strcmp(#name, "display") == 0) {                                                  \
            logMemory();                                                                           \
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
    // Only the viewer is recorded, not what it starts, such as the sanitizer's
    // symbolizer; a program that started the viewer (valgrind, say) had the
    // recorder loaded too, but calls no GLUT.
    unsetenv("LD_PRELOAD");
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

// Keeps every library loaded to the end: Mesa's driver is otherwise unloaded as
// the display closes, before LeakSanitizer looks at what is left, which then
// names its blocks by no module that a suppression could name.
extern "C" int dlclose(void* /*library*/) {
    return 0;
}
