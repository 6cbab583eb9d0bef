# Writes the web page's shell SHELL from its template TEMPLATE, with the icon
# ICON (a PNG) put in as base64 for a data: URI, the release's VERSION, and
# the notices NOTICES (HTML-escaped text) of what the page bundles.
#
#   cmake -DTEMPLATE=... -DICON=... -DVERSION=... -DNOTICES=... -DSHELL=... -P cmake/WebShell.cmake
execute_process(COMMAND base64 --wrap=0 ${ICON}
    OUTPUT_VARIABLE WIBBLE_ICON_BASE64 COMMAND_ERROR_IS_FATAL ANY)
set(WIBBLE_VERSION ${VERSION})
file(READ ${NOTICES} WIBBLE_NOTICES)
configure_file(${TEMPLATE} ${SHELL} @ONLY)
