# Warnings for every target of the project's own (GoogleTest, where it is
# built here, is kept clear of them: tests/CMakeLists.txt); the float rules for
# the model and whatever links it (wibble_float_rules).
# CMAKE_COMPILE_WARNING_AS_ERROR makes the warnings errors.
if(MSVC)
    add_compile_options(/W4)
else()
    add_compile_options(-Wall -Wextra -Wpedantic)
endif()

# The model rounds every float expression exactly once, where the code says so;
# a fused multiply-add would skip a rounding. MSVC's /fp:precise never fuses.
# 32-bit x86 code keeps floats in the x87 unit's 80-bit registers, which round
# neither where the model rounds nor once: its arithmetic is done in SSE2
# instead, as every x86 processor since 2003 has it.
add_library(wibble_float_rules INTERFACE)
if(MSVC)
    target_compile_options(wibble_float_rules INTERFACE /fp:precise)
else()
    target_compile_options(wibble_float_rules INTERFACE -ffp-contract=off)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^i[3-6]86$" AND NOT MSVC)
    target_compile_options(wibble_float_rules INTERFACE -msse2 -mfpmath=sse)
    set(WIBBLE_NEEDS_SSE2 ON)
endif()

# Release files keep no path of the folder they were built in. Debian's
# dpkg-buildflags maps it away (-ffile-prefix-map), but leaves that out where
# the path holds a space, which its flags, a string of words, cannot carry.
option(WIBBLE_NO_BUILD_PATH "Keep no path of the source folder in what is built" OFF)
if(WIBBLE_NO_BUILD_PATH AND NOT MSVC)
    add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.")
endif()

# A Windows release runs with no MinGW runtime DLLs beside it.
if(MINGW)
    add_link_options(-static-libgcc -static-libstdc++)
endif()

if(WIBBLE_COVERAGE)
    add_compile_options(--coverage)
    add_link_options(--coverage)
endif()
if(WIBBLE_SANITIZE)
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${sanitizers})
    add_link_options(${sanitizers})
endif()
if(WIBBLE_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
