# What `cmake --install` puts where, and the package made of it: a Debian
# package, a Windows zip or a web page, by platform.

if(EMSCRIPTEN)
    include(cmake/WebPage.cmake)
elseif(WIN32)
    include(cmake/WindowsRelease.cmake)
else()
    include(cmake/DebianPackage.cmake)
endif()
