# Warnings, float rules and instrumentation for every target.

# The model rounds every float expression exactly once, where the code says so;
# a fused multiply-add would skip a rounding. MSVC's /fp:precise never fuses.
# CMAKE_COMPILE_WARNING_AS_ERROR makes the warnings errors.
if(MSVC)
    add_compile_options(/W4 /fp:precise)
else()
    add_compile_options(-Wall -Wextra -Wpedantic -ffp-contract=off)
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
