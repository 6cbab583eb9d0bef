# Cross-compiling for Linux on another Debian architecture, the one that
# WIBBLE_DEBIAN_ARCHITECTURE names (arm64, armhf, i386, ppc64el, riscv64 or
# s390x), with Debian's cross compiler for it (g++-<GNU triplet>), against its
# multiarch libraries (dpkg --add-architecture; freeglut3-dev:<architecture>,
# libgl-dev:<architecture>), and running test programs under qemu's
# user-mode emulation.
set(CMAKE_SYSTEM_NAME Linux)
# CMake's checks read this file again, in projects of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES WIBBLE_DEBIAN_ARCHITECTURE)

# Each architecture: Debian's name, its GNU triplet, the processor as CMake
# names it, and qemu's name for it.
set(wibble_debian_architectures
    "arm64 aarch64-linux-gnu aarch64 aarch64"
    "armhf arm-linux-gnueabihf armv7l arm"
    "i386 i686-linux-gnu i686 i386"
    "ppc64el powerpc64le-linux-gnu ppc64le ppc64le"
    "riscv64 riscv64-linux-gnu riscv64 riscv64"
    "s390x s390x-linux-gnu s390x s390x")
foreach(entry IN LISTS wibble_debian_architectures)
    string(REPLACE " " ";" fields "${entry}")
    list(GET fields 0 name)
    if(name STREQUAL "${WIBBLE_DEBIAN_ARCHITECTURE}")
        list(GET fields 1 triplet)
        list(GET fields 2 processor)
        list(GET fields 3 qemu)
    endif()
endforeach()
if(NOT triplet)
    message(FATAL_ERROR "WIBBLE_DEBIAN_ARCHITECTURE names no architecture this toolchain knows: "
        "'${WIBBLE_DEBIAN_ARCHITECTURE}'")
endif()

set(CMAKE_SYSTEM_PROCESSOR ${processor})
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
# Libraries from /usr/lib/<triplet>, never the build machine's, also where
# pkg-config is asked for them.
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${triplet}/pkgconfig:/usr/share/pkgconfig)

# Test programs run under user-mode emulation, with the C and C++ runtime of
# the cross compiler's own root, which every architecture has.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu}-static -L /usr/${triplet})
