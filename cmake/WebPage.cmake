# The viewer as one self-contained web page: WebAssembly and script embedded,
# so that it opens from disk or from any static server with no network.
# bash scripts/package.sh writes it as dist/wibble-<version>.html.
include(cmake/Icon.cmake)
set(icon ${CMAKE_CURRENT_BINARY_DIR}/icon-32.png)
wibble_icon_png(32 ${icon})
# The page's shell, with the icon in it.
set(template ${PROJECT_SOURCE_DIR}/platform/web/shell.html)
set(shell ${CMAKE_CURRENT_BINARY_DIR}/shell.html)
add_custom_command(OUTPUT ${shell}
    COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${template} -DICON=${icon} -DSHELL=${shell}
        -P ${PROJECT_SOURCE_DIR}/cmake/WebShell.cmake
    DEPENDS ${template} ${icon} ${PROJECT_SOURCE_DIR}/cmake/WebShell.cmake VERBATIM)
add_custom_target(web_shell DEPENDS ${shell})
add_dependencies(wibble web_shell)

set_target_properties(wibble PROPERTIES SUFFIX .html LINK_DEPENDS ${shell})
target_link_options(wibble PRIVATE
    --shell-file ${shell}
    -sSINGLE_FILE=1
    # The shell page takes standard error from the file system's device.
    -sFORCE_FILESYSTEM=1
    # The page reshapes the program when its window is resized.
    -sEXPORTED_FUNCTIONS=_main,_glutReshapeWindow
    # Emscripten 3.1.6 fails in its HTML minifier.
    -sMINIFY_HTML=0
)
install(FILES $<TARGET_FILE:wibble> DESTINATION . RENAME wibble-${PROJECT_VERSION}.html)
