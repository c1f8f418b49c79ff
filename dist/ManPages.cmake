# Makes every man page (cmake -P, at build time): one for each command the slamwise program
# lists with --list-commands, slamwise(1) naming them all, and slamwise-editor(1). A command
# added to the program gets its page without any change here.
#   CLI        the slamwise program       EDITOR     the slamwise-editor program
#   OUTPUT_DIR the folder of the pages    STAMP      the file touched when all are made
#   HELP2MAN   help2man                   VERSION    the version the pages give
#   GZIP       gzip, to compress the pages as installed (empty: left uncompressed)

cmake_minimum_required(VERSION 3.25)

set(run_env ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0)
execute_process(COMMAND ${run_env} "${CLI}" --list-commands OUTPUT_VARIABLE listed
                RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR listed STREQUAL "")
    message(FATAL_ERROR "${CLI} --list-commands failed: ${status}")
endif()
string(REGEX REPLACE "\n$" "" listed "${listed}")
string(REPLACE "\n" ";" commands "${listed}")

# page | program | words before --help
set(pages "slamwise-editor|${EDITOR}|")
set(see_also "slamwise-editor")
foreach(words IN LISTS commands)
    string(REPLACE " " "-" page "slamwise-${words}")
    list(APPEND pages "${page}|${CLI}|${words}")
    string(APPEND see_also " ${page}")
endforeach()
list(APPEND pages "slamwise|${CLI}|")

file(REMOVE_RECURSE "${OUTPUT_DIR}")  # no page of a command that has gone
file(MAKE_DIRECTORY "${OUTPUT_DIR}")
get_filename_component(here "${CMAKE_CURRENT_LIST_FILE}" DIRECTORY)
foreach(entry IN LISTS pages)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 page)
    list(GET parts 1 program)
    list(GET parts 2 words)
    set(extra "")
    if(page STREQUAL "slamwise")
        set(page_see_also "${see_also}")
    else()
        set(page_see_also "slamwise")
    endif()
    if(page STREQUAL "slamwise-editor")
        set(extra "-DSUMMARY=edit the players, rosters and cheat codes of a Slamwise ROM image")
    endif()
    set(output "${OUTPUT_DIR}/${page}.1")
    execute_process(
        COMMAND ${CMAKE_COMMAND} "-DPROGRAM=${program}" "-DARGS=${words}" "-DPAGE=${page}"
                "-DOUTPUT=${output}" "-DHELP2MAN=${HELP2MAN}" "-DVERSION=${VERSION}"
                "-DSEE_ALSO=${page_see_also}" ${extra} -P "${here}/ManPage.cmake"
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "no man page ${page}(1)")
    endif()
    file(REMOVE "${OUTPUT_DIR}/${page}" "${OUTPUT_DIR}/${page}.h2m")
    if(GZIP)
        # -n: no name or time stamp, so the same page gives the same bytes.
        execute_process(COMMAND "${GZIP}" -9nf "${output}" RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "gzip failed on ${output}")
        endif()
    endif()
endforeach()
file(TOUCH "${STAMP}")
