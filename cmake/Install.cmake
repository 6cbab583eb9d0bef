# What `cmake --install` puts where, and the package CPack makes of it.
include(cmake/DebianPackage.cmake)
