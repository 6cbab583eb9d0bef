# A release for Windows: wibble.exe with every DLL it needs beyond Windows'
# own, the user's README, the licence and the notices of what it bundles, in
# one folder; bash scripts/package.sh zips it as dist/wibble-<version>-win64.zip.
install(TARGETS wibble RUNTIME DESTINATION .)

# wibble.exe carries its icon (16 to 256 pixels in one .ico, made by icoutils'
# icotool) and its version in resources.
include(cmake/Icon.cmake)
find_program(ICOTOOL icotool REQUIRED)
set(WIBBLE_ICO ${CMAKE_CURRENT_BINARY_DIR}/${WIBBLE_APPLICATION_ID}.ico)
set(icon_pictures)
foreach(size 16 24 32 48 64 256)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}.png)
    wibble_icon_png(${size} ${png})
    list(APPEND icon_pictures ${png})
endforeach()
# The largest picture is kept as PNG, as Windows stores 256 pixels.
list(POP_BACK icon_pictures largest)
add_custom_command(OUTPUT ${WIBBLE_ICO}
    COMMAND ${ICOTOOL} --create --output=${WIBBLE_ICO} ${icon_pictures} --raw=${largest}
    DEPENDS ${icon_pictures} ${largest} VERBATIM)
add_custom_target(windows_icon DEPENDS ${WIBBLE_ICO})
enable_language(RC)
set(resources ${CMAKE_CURRENT_BINARY_DIR}/wibble.rc)
configure_file(platform/windows/wibble.rc.in ${resources} @ONLY)
target_sources(wibble PRIVATE ${resources})
set_source_files_properties(${resources} TARGET_DIRECTORY wibble PROPERTIES OBJECT_DEPENDS ${WIBBLE_ICO})
add_dependencies(wibble windows_icon)

# GLUT's DLL lies in the bin folder beside the lib folder of its import
# library (MinGW's libglut.dll.a, vcpkg's freeglut.lib).
get_filename_component(glut_lib_dir ${GLUT_glut_LIBRARY_RELEASE} DIRECTORY)
file(GLOB glut_dlls ${glut_lib_dir}/../bin/*glut*.dll)
if(NOT glut_dlls)
    message(FATAL_ERROR "No GLUT DLL beside ${GLUT_glut_LIBRARY_RELEASE}")
endif()
install(FILES ${glut_dlls} DESTINATION .)

# The texts, as .txt files with Windows' line ends, which open where they lie.
set(texts ${CMAKE_CURRENT_BINARY_DIR}/texts)
configure_file(platform/windows/README.txt.in ${texts}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${texts}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
set(release_texts ${texts}/README.txt ${texts}/LICENSE.txt)
# What MinGW-w64 links into wibble.exe and libglut.dll besides the program and
# freeglut: GCC's runtime, whose licence's exception asks nothing of a
# program built with it, and parts of MinGW-w64's own runtime, named here by
# the sources (as a link map shows them, -Wl,-Map) whose licences ask for
# their notices: its own (sqrt, the standard streams) and gdtoa's (reading and
# writing numbers). freeglut's copyright file lies with it, where
# scripts/freeglut-windows.sh puts it from Debian's source package.
if(MINGW)
    include(cmake/Notices.cmake)
    set(notices ${texts}/THIRD-PARTY-NOTICES.txt)
    wibble_notices(${notices} --crlf
        --part "freeglut, in libglut.dll" ${glut_lib_dir}/../share/freeglut/copyright src/fg_init.c
        --part "The MinGW-w64 runtime, in wibble.exe and libglut.dll"
            /usr/share/doc/mingw-w64-x86-64-dev/copyright
            mingw-w64-crt/math/sqrt.c mingw-w64-crt/stdio/acrt_iob_func.c
            mingw-w64-crt/gdtoa/gdtoa.c mingw-w64-crt/gdtoa/strtodnrp.c)
    list(APPEND release_texts ${notices})
endif()
add_custom_target(windows_texts ALL DEPENDS ${release_texts})
install(FILES ${release_texts} DESTINATION .)

# The installer (the target installer; bash scripts/package.sh copies it to
# dist/): the stripped release as it is zipped, installed per user by NSIS.
set(WIBBLE_INSTALLER ${CMAKE_CURRENT_BINARY_DIR}/wibble-${PROJECT_VERSION}-win64-setup.exe)
set(WIBBLE_INSTALLER_STAGE ${CMAKE_CURRENT_BINARY_DIR}/installer)
set(release_files wibble${CMAKE_EXECUTABLE_SUFFIX})
foreach(file ${glut_dlls} ${release_texts})
    get_filename_component(name ${file} NAME)
    list(APPEND release_files ${name})
endforeach()
list(TRANSFORM release_files REPLACE "(.+)" "    !insertmacro \${action} \\1")
list(JOIN release_files "\n" WIBBLE_INSTALLER_FILES)
configure_file(platform/windows/installer.nsi.in installer.nsi @ONLY)
find_program(MAKENSIS makensis)
add_custom_target(installer
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${WIBBLE_INSTALLER_STAGE}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${WIBBLE_INSTALLER_STAGE} --strip
    COMMAND ${MAKENSIS} -V2 -NOCD ${CMAKE_CURRENT_BINARY_DIR}/installer.nsi
    DEPENDS wibble windows_icon windows_texts VERBATIM)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME wibble)
set(CPACK_PACKAGE_FILE_NAME wibble-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
