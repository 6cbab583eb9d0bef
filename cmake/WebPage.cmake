# The viewer as one self-contained web page: WebAssembly and script embedded,
# so that it opens from disk or from any static server with no network.
# bash scripts/package.sh writes it as dist/wibble-<version>.html.
include(cmake/Icon.cmake)
set(icon ${CMAKE_CURRENT_BINARY_DIR}/icon-32.png)
wibble_icon_png(32 ${icon})
# What Emscripten compiles into the page besides the program: its runtime and
# JavaScript libraries, and its C library, musl, both of whose licences ask for
# their notices; named by sources that a link map (wasm-ld --Map) shows in the
# page. Its C++ library (libc++, libc++abi) and compiler-rt are under Apache
# 2.0 with the LLVM exception, which asks nothing of compiled code, and its
# malloc is in the public domain.
include(cmake/Notices.cmake)
set(notices ${CMAKE_CURRENT_BINARY_DIR}/notices.html)
set(emscripten_copyright /usr/share/doc/emscripten/copyright)
wibble_notices(${notices} --html --own wibble ${PROJECT_SOURCE_DIR}/LICENSE
    --part Emscripten ${emscripten_copyright} src/library_glut.js system/lib/libc/emscripten_memcpy.c
    --part musl ${emscripten_copyright} system/lib/libc/musl/src/stdio/vfprintf.c)
# The page's shell, with the icon, the version and the notices in it.
set(template ${PROJECT_SOURCE_DIR}/platform/web/shell.html)
set(shell ${CMAKE_CURRENT_BINARY_DIR}/shell.html)
add_custom_command(OUTPUT ${shell}
    COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${template} -DICON=${icon} -DVERSION=${PROJECT_VERSION}
        -DNOTICES=${notices} -DSHELL=${shell} -P ${PROJECT_SOURCE_DIR}/cmake/WebShell.cmake
    DEPENDS ${template} ${icon} ${notices} ${PROJECT_SOURCE_DIR}/cmake/WebShell.cmake VERBATIM)
add_custom_target(web_shell DEPENDS ${shell})
add_dependencies(wibble web_shell)

# Emscripten runs the Closure compiler that EM_CLOSURE_COMPILER names: npm's,
# at the version scripts/closure/package-lock.json pins (npm ci --prefix
# scripts/closure), as Debian's Emscripten brings none.
if(NOT EXISTS "$ENV{EM_CLOSURE_COMPILER}")
    message(FATAL_ERROR "No Closure compiler at EM_CLOSURE_COMPILER ('$ENV{EM_CLOSURE_COMPILER}'): "
        "run npm ci --prefix scripts/closure, or bash scripts/package.sh web")
endif()

set_target_properties(wibble PROPERTIES SUFFIX .html LINK_DEPENDS ${shell})
target_link_options(wibble PRIVATE
    --shell-file ${shell}
    -sSINGLE_FILE=1
    --closure 1
    # Only what the page uses: a browser's window, not Node.js nor a worker;
    # the fixed-function half of the GL emulation, which is all the program
    # calls, with room for the two vertices of a line rather than 2 MB, and
    # without WebGL extensions it never asks for; and the smaller allocator.
    -sENVIRONMENT=web
    -sGL_FFP_ONLY=1
    -sGL_MAX_TEMP_BUFFER_SIZE=65536
    -sGL_SUPPORT_AUTOMATIC_ENABLE_EXTENSIONS=0
    -sMALLOC=emmalloc
    # The page starts the program once it has been painted, and reshapes it
    # when its window is resized.
    -sINVOKE_RUN=0
    -sEXPORTED_RUNTIME_METHODS=callMain
    -sEXPORTED_FUNCTIONS=_main,_glutReshapeWindow
    # Emscripten 3.1.6 fails in its HTML minifier.
    -sMINIFY_HTML=0
)
install(FILES $<TARGET_FILE:wibble> DESTINATION . RENAME wibble-${PROJECT_VERSION}.html)
