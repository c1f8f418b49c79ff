# Part of InstallCheck.cmake: every command the installed slamwise lists has its man page, and
# slamwise(1) names them all.

if(NOT MAN_PAGES)
    message(STATUS "man pages are not made in this build: not checked")
    return()
endif()
execute_process(COMMAND "${PREFIX}/bin/slamwise" --list-commands OUTPUT_VARIABLE listed
                RESULT_VARIABLE status)
string(STRIP "${listed}" listed)
if(NOT status EQUAL 0 OR listed STREQUAL "")
    message(SEND_ERROR "slamwise --list-commands gave ${status}")
endif()
string(REPLACE "\n" ";" commands "${listed}")

# The text of an installed page, compressed or not; empty when it is missing.
function(read_page page text_var)
    set(path "${PREFIX}/share/man/man1/${page}.1")
    set(text "")
    if(EXISTS "${path}.gz")
        execute_process(COMMAND gzip -dc "${path}.gz" OUTPUT_VARIABLE text)
    elseif(EXISTS "${path}")
        file(READ "${path}" text)
    endif()
    set(${text_var} "${text}" PARENT_SCOPE)
endfunction()

read_page(slamwise main_page)
foreach(words IN LISTS commands ITEMS editor)
    string(REPLACE " " "-" page "slamwise-${words}")
    read_page(${page} text)
    if(NOT text MATCHES "\\.TH ")
        message(SEND_ERROR "no man page ${page}(1) for \"${words}\"")
    endif()
    string(REPLACE "-" "\\\\-" escaped "${page}")
    if(NOT main_page MATCHES "\\.BR (${page}|${escaped}) \\(1\\)")
        message(SEND_ERROR "slamwise(1) does not name ${page}(1)")
    endif()
endforeach()
