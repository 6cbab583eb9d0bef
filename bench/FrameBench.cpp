// The cost of a frame: the World's 388 springs and a 32 x 32 x 32-cell body
// drawn into a window on a private Xvfb with Mesa's software renderer; the
// same walk with no current context, where every OpenGL call returns at once,
// to show the share spent outside OpenGL; and the program's start-up to its
// first frame, natively and cross-built for another architecture (arm64, or
// armhf on arm64) under qemu. With --frames=N it only draws N
// frames of the World, for callgrind.
#include "app/World.h"
#include "bench/DiscardingBuffer.h"
#include "bench/PerSpring.h"
#include "render/Display.h"
#include "tests/support/Expected.h"
#include "tests/support/Files.h"
#include "tests/support/ReleaseFiles.h"
#include "tests/support/ViewerProcess.h"
#include "tests/support/XvfbServer.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

void useBody(const benchmark::State& state) {
    world.body =
        state.range(0) == 0 ? World().body : Wibble(32, 32, 32, 0.5f / 16, 0.1f, 0.01f, 1.0f);
}

// A whole frame, as GLUT's display callback draws it: clear, springs, swap, finish.
void BM_Frame(benchmark::State& state) {
    useBody(state);
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        display();
    }
    reportPerSpring(state, world.body.springs.size());
}

// The springs alone, with and without a current context: without one, every
// OpenGL call returns at once and what is left is the program's own work.
void BM_DrawSprings(benchmark::State& state, bool withContext) {
    useBody(state);
    Display* const display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    GLXContext context = glXGetCurrentContext();
    if (!withContext) {
        glXMakeCurrent(display, None, nullptr);
    }
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        world.body.drawSprings();
        if (withContext) {
            glFinish();
        }
    }
    glXMakeCurrent(display, drawable, context);
    reportPerSpring(state, world.body.springs.size());
}

// Start-up to the first frame of the program built here, or of the package's
// program cross-built for another architecture, under qemu's user-mode emulation.
void BM_StartUpToFirstFrame(benchmark::State& state, bool foreign) {
    ViewerProcess::Options options;
    if (foreign) {
        state.SetLabel(WIBBLE_FOREIGN_ARCHITECTURE);
        if (const std::string why =
                releaseFileUnavailable(WIBBLE_FOREIGN_PACKAGE, WIBBLE_FOREIGN_ARCHITECTURE);
            !why.empty()) {
            state.SkipWithError(why.c_str());
            return;
        }
        const std::string root = temporaryFolder("foreign-package");
        const CommandResult unpacked =
            runCommand({"dpkg-deb", "-x", WIBBLE_DIST WIBBLE_FOREIGN_PACKAGE, root});
        if (unpacked.status != 0) {
            state.SkipWithError(
                ("cannot unpack " WIBBLE_FOREIGN_PACKAGE ": " + unpacked.output).c_str());
            return;
        }
        options.wrapper = {WIBBLE_FOREIGN_EMULATOR, "-L", "/"};
        options.program = {root + "/usr/bin/wibble"};
    }
    const char* display = std::getenv("DISPLAY");
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        ViewerProcess viewer(display ? display : "", options);
        if (!viewer.waitForFrames(1)) {
            state.SkipWithError("the viewer drew no frame");
            break;
        }
    }
}

void bodies(benchmark::internal::Benchmark* benchmark) {
    // Mesa draws on worker threads, so the wall clock is what a frame costs.
    benchmark->ArgName("cells32")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
}

BENCHMARK(BM_Frame)->Apply(bodies);
BENCHMARK_CAPTURE(BM_DrawSprings, context, true)->Apply(bodies);
BENCHMARK_CAPTURE(BM_DrawSprings, no_context, false)->Apply(bodies);
BENCHMARK_CAPTURE(BM_StartUpToFirstFrame, native, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);
BENCHMARK_CAPTURE(BM_StartUpToFirstFrame, cross_built_under_qemu, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);

void openWindow(char* program) {
    int argc = 1;
    char* argv[] = {program, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB);
    glutCreateWindow("frame cost");
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3.0, 3.0, -3.0, 3.0, -3.0, 3.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace

int main(int argc, char** argv) {
    const XvfbServer server;
    for (const auto& [name, value] : XvfbServer::clientEnvironment(server.display())) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    DiscardingBuffer discard;
    std::streambuf* trace = std::cerr.rdbuf(&discard);
    openWindow(argv[0]);

    const std::string framesOption = "--frames=";
    if (argc == 2 && std::string(argv[1]).rfind(framesOption, 0) == 0) {
        for (int frames = std::stoi(argv[1] + framesOption.size()); frames > 0; --frames) {
            display();
        }
    } else {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    // Let go of the X server before it is stopped.
    glutExit();
    std::cerr.rdbuf(trace);
    return 0;
}
