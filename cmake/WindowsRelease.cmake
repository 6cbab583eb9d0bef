# A release for Windows: wibble.exe with every DLL it needs beyond Windows'
# own, the README and the licence, in one folder; bash scripts/package.sh
# zips it as dist/wibble-<version>-win64.zip.
install(TARGETS wibble RUNTIME DESTINATION .)

# GLUT's DLL lies in the bin folder beside the lib folder of its import
# library (MinGW's libglut.dll.a, vcpkg's freeglut.lib).
get_filename_component(glut_lib_dir ${GLUT_glut_LIBRARY_RELEASE} DIRECTORY)
file(GLOB glut_dlls ${glut_lib_dir}/../bin/*glut*.dll)
if(NOT glut_dlls)
    message(FATAL_ERROR "No GLUT DLL beside ${GLUT_glut_LIBRARY_RELEASE}")
endif()
install(FILES ${glut_dlls} DESTINATION .)
install(FILES README.md LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME wibble)
set(CPACK_PACKAGE_FILE_NAME wibble-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
