# Cross-compiling for 64-bit ARM Linux with Debian's cross compiler
# (g++-aarch64-linux-gnu) against the arm64 multiarch libraries
# (dpkg --add-architecture arm64; freeglut3-dev:arm64, libgl-dev:arm64).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triplet aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
# Libraries from /usr/lib/aarch64-linux-gnu, never the build machine's, also
# where pkg-config is asked for them.
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${triplet}/pkgconfig:/usr/share/pkgconfig)
# The name dpkg gives the architecture, for the package.
set(WIBBLE_DEBIAN_ARCHITECTURE arm64)

# Test programs run under user-mode emulation; its loader and libraries are the
# arm64 multiarch ones under /.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /)
