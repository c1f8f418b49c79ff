# Part of InstallCheck.cmake: with only the prefix's data, the desktop types a file of each
# image extension as a SNES image and offers the editor to open it. Uses gio, else xdg-mime;
# without either the check is skipped.

find_program(GIO gio)
find_program(XDG_MIME xdg-mime)
if(NOT GIO AND NOT XDG_MIME)
    message(STATUS "neither gio (libglib2.0-bin) nor xdg-mime found: \"Open with\" not checked")
    return()
endif()
if(NOT EXISTS "${PREFIX}/share/mime/mime.cache")
    message(STATUS "update-mime-database did not run at installation: \"Open with\" not checked")
    return()
endif()
set(scratch "${PREFIX}/open-with")
file(MAKE_DIRECTORY "${scratch}/home" "${scratch}/config")
# Nothing of the user's own settings or of the system's data takes part.
set(desktop ${CMAKE_COMMAND} -E env "XDG_DATA_DIRS=${PREFIX}/share"
            "XDG_DATA_HOME=${scratch}/home" "XDG_CONFIG_HOME=${scratch}/config"
            "PATH=${PREFIX}/bin:$ENV{PATH}")
foreach(extension sfc smc swc fig)
    set(file "${scratch}/game.${extension}")
    file(WRITE "${file}" "not a real image, only its name counts")
    if(GIO)
        execute_process(COMMAND ${desktop} ${GIO} info -a standard::content-type "${file}"
                        OUTPUT_VARIABLE info)
        string(REGEX MATCH "content-type: ([^\n]*)" ignored "${info}")
        set(type "${CMAKE_MATCH_1}")
        execute_process(COMMAND ${desktop} ${GIO} mime "${type}" OUTPUT_VARIABLE offered)
    else()
        execute_process(COMMAND ${desktop} ${XDG_MIME} query filetype "${file}"
                        OUTPUT_VARIABLE type OUTPUT_STRIP_TRAILING_WHITESPACE)
        execute_process(COMMAND ${desktop} ${XDG_MIME} query default "${type}"
                        OUTPUT_VARIABLE offered)
    endif()
    if(NOT type MATCHES "snes" OR NOT offered MATCHES "${id}\\.desktop")
        message(SEND_ERROR "a .${extension} file is typed \"${type}\", and the editor is not "
                           "offered for it: ${offered}")
    endif()
endforeach()
