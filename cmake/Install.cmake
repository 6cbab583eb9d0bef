# What `cmake --install` puts where, and the package made of it: a Debian
# package, a Windows zip or a web page, by platform.

# Folders as packages have them, whatever the umask of whoever installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(EMSCRIPTEN)
    include(cmake/WebPage.cmake)
elseif(WIN32)
    include(cmake/WindowsRelease.cmake)
else()
    include(cmake/DebianPackage.cmake)
endif()
