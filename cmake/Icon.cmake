# The program's icon, drawn once in platform/icon/<application ID>.svg, made
# into the pictures each platform needs at build time by librsvg's rsvg-convert.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(WIBBLE_ICON_SVG ${PROJECT_SOURCE_DIR}/platform/icon/${WIBBLE_APPLICATION_ID}.svg)

# Draws the icon `size` pixels square into the PNG file `output`. Below 48
# pixels the whole lattice would be a grey blob, so the source's drawing for
# small sizes is taken instead.
function(wibble_icon_png size output)
    set(drawing large)
    if(size LESS 48)
        set(drawing small)
    endif()
    get_filename_component(folder ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --export-id=${drawing}
            --output=${output} ${WIBBLE_ICON_SVG}
        DEPENDS ${WIBBLE_ICON_SVG} VERBATIM)
endfunction()
