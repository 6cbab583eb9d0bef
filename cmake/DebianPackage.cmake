# The program, its manual page and its documents in the usual places, and a
# Debian package of them: bash scripts/package.sh writes dist/wibble_<version>_amd64.deb.
include(GNUInstallDirs)

install(TARGETS wibble RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install also drops what dh_strip drops: the toolchain's notes.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/wibble\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")

# Manual pages and changelogs are installed compressed, as man and Debian expect.
find_program(GZIP gzip REQUIRED)
function(install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${gzipped}
        COMMAND ${GZIP} -9 -n -c ${source} > ${gzipped}
        DEPENDS ${source} VERBATIM)
    add_custom_target(gzip_${name} ALL DEPENDS ${gzipped})
    install(FILES ${gzipped} DESTINATION ${destination})
endfunction()
configure_file(docs/wibble.1.in ${CMAKE_CURRENT_BINARY_DIR}/manual/wibble.1 @ONLY)
install_gzipped(${CMAKE_CURRENT_BINARY_DIR}/manual/wibble.1 ${CMAKE_INSTALL_MANDIR}/man1)
# The changelog's newest entry is this release's.
file(STRINGS platform/debian/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^wibble \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "platform/debian/changelog has no entry for ${PROJECT_VERSION} on top: "
        "${newest}")
endif()
install_gzipped(${PROJECT_SOURCE_DIR}/platform/debian/changelog ${CMAKE_INSTALL_DOCDIR})
# The user's README, not the project's: it names no file the package lacks.
install(FILES platform/debian/README platform/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# What makes it appear in a desktop's menu and in software centres: the desktop
# entry, the icon in the hicolor theme at every usual size, and AppStream data.
if(WIBBLE_DESKTOP)
    include(cmake/Icon.cmake)
    set(icon_files)
    foreach(size 16 22 24 32 48 64 128 256)
        set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}/${WIBBLE_APPLICATION_ID}.png)
        wibble_icon_png(${size} ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
        list(APPEND icon_files ${png})
    endforeach()
    add_custom_target(icons ALL DEPENDS ${icon_files})
    install(FILES ${WIBBLE_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    # The entry names the icon, and the class of the program's windows
    # (StartupWMClass) by which docks tell that a window is this entry's.
    set(entry ${CMAKE_CURRENT_BINARY_DIR}/${WIBBLE_APPLICATION_ID}.desktop)
    configure_file(platform/debian/${WIBBLE_APPLICATION_ID}.desktop.in ${entry} @ONLY)
    install(FILES ${entry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

    # The release's date is the one on the changelog's newest entry.
    file(STRINGS platform/debian/changelog signature REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX REPLACE "^.*>  " "" released "${signature}")
    execute_process(COMMAND date --utc --date=${released} +%F
        OUTPUT_VARIABLE WIBBLE_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(metainfo ${CMAKE_CURRENT_BINARY_DIR}/${WIBBLE_APPLICATION_ID}.metainfo.xml)
    configure_file(platform/debian/${WIBBLE_APPLICATION_ID}.metainfo.xml.in ${metainfo} @ONLY)
    install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wibble)
set(CPACK_PACKAGE_VENDOR "${WIBBLE_PUBLISHER}")
set(CPACK_PACKAGE_CONTACT "${WIBBLE_PUBLISHER} <wibble@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "soft-body lattice viewer for OpenGL")
set(CPACK_PACKAGE_DESCRIPTION "\
wibble shows a soft body, a box-shaped lattice of 96 mass points joined by
388 springs along its edges and across its cells, as white lines turned
by 15 degrees, in a GLUT window drawn with OpenGL. It writes a progress
trace on standard error.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Cross-built, the package is of the architecture the toolchain names.
if(WIBBLE_DEBIAN_ARCHITECTURE)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${WIBBLE_DEBIAN_ARCHITECTURE})
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends is computed from the binary's libraries (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# and from its arithmetic: apt installs it only where the processor has SSE2.
if(WIBBLE_NEEDS_SSE2)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS sse2-support)
endif()
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
