# OpenGL and GLUT. The viewer's own code sees only their headers
# (wibble_graphics_headers), so that the unit tests can link recording
# stand-ins instead; the program links the libraries (wibble_graphics).
add_library(wibble_graphics_headers INTERFACE)
add_library(wibble_graphics INTERFACE)
target_link_libraries(wibble_graphics INTERFACE wibble_graphics_headers)

if(EMSCRIPTEN)
    # Emscripten brings its own GLUT, and an emulation of OpenGL's fixed
    # pipeline and immediate mode on top of WebGL.
    target_link_options(wibble_graphics INTERFACE -sLEGACY_GL_EMULATION=1)
elseif(WIBBLE_PROGRAM)
    find_package(OpenGL REQUIRED)
    find_package(GLUT REQUIRED)
    target_include_directories(wibble_graphics_headers SYSTEM INTERFACE
        ${OPENGL_INCLUDE_DIR} ${GLUT_INCLUDE_DIR})
    target_link_libraries(wibble_graphics INTERFACE OpenGL::GL GLUT::GLUT)
else()
    # The headers alone, which are the same on every architecture: a cross
    # build of the unit tests takes this machine's.
    find_path(WIBBLE_GL_INCLUDE_DIR GL/gl.h REQUIRED)
    find_path(WIBBLE_GLUT_INCLUDE_DIR GL/glut.h REQUIRED)
    target_include_directories(wibble_graphics_headers SYSTEM INTERFACE
        ${WIBBLE_GL_INCLUDE_DIR} ${WIBBLE_GLUT_INCLUDE_DIR})
endif()
