# What `cmake --install` puts where, and the package CPack makes of it: a
# Debian package or a Windows zip, by platform.
if(WIN32)
    include(cmake/WindowsRelease.cmake)
else()
    include(cmake/DebianPackage.cmake)
endif()
