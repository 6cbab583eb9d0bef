# The notices of the software of others that a release bundles, written at
# build time by cmake/notices.py from the copyright files of the Debian
# packages it comes from, read with Debian's python3-debian.
find_program(DEBIAN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)

# Writes `output` from notices.py's further arguments (see that script), again
# whenever a copyright file they name changes.
function(wibble_notices output)
    set(copyright_files)
    foreach(argument ${ARGN})
        if(IS_ABSOLUTE "${argument}" AND EXISTS "${argument}")
            list(APPEND copyright_files "${argument}")
        endif()
    endforeach()
    add_custom_command(OUTPUT ${output}
        COMMAND ${DEBIAN_PYTHON} ${PROJECT_SOURCE_DIR}/cmake/notices.py --output ${output} ${ARGN}
        DEPENDS ${PROJECT_SOURCE_DIR}/cmake/notices.py ${copyright_files} VERBATIM)
endfunction()
