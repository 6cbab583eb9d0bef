# The viewer as one self-contained web page: WebAssembly and script embedded,
# so that it opens from disk or from any static server with no network.
# bash scripts/package.sh writes it as dist/wibble-<version>.html.
set(shell ${PROJECT_SOURCE_DIR}/platform/web/shell.html)
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
