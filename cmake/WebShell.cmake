# Writes the web page's shell SHELL from its template TEMPLATE, with the icon
# ICON (a PNG) put in as base64 for a data: URI.
#
#   cmake -DTEMPLATE=... -DICON=... -DSHELL=... -P cmake/WebShell.cmake
execute_process(COMMAND base64 --wrap=0 ${ICON}
    OUTPUT_VARIABLE WIBBLE_ICON_BASE64 COMMAND_ERROR_IS_FATAL ANY)
configure_file(${TEMPLATE} ${SHELL} @ONLY)
