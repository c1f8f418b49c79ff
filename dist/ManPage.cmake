# Makes one man page with help2man from a program's --help text (cmake -P, at build time).
#   PROGRAM    the executable          ARGS      words before --help ("players export")
#   PAGE       the page's name         OUTPUT    the page file
#   HELP2MAN   help2man                VERSION   the version the page gives
#   SEE_ALSO   the pages the SEE ALSO section names ("slamwise slamwise-info")
#   SUMMARY    what the page's NAME line says (default: the first line of the help text)
# help2man runs a program by itself, so a small script stands for "PROGRAM ARGS".

get_filename_component(work "${OUTPUT}" DIRECTORY)
set(stand_in "${work}/${PAGE}")
get_filename_component(folder "${PROGRAM}" DIRECTORY)
get_filename_component(program_name "${PROGRAM}" NAME)
# Started by its bare name, so the help text shows no build folder. Qt programs print their help
# without a display; a sanitizer build must not add a leak report.
file(WRITE "${stand_in}"
     "#!/bin/sh\nPATH=\"${folder}:$PATH\" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "
     "exec ${program_name} ${ARGS} \"$@\"\n")
file(CHMOD "${stand_in}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
     WORLD_READ WORLD_EXECUTE)

execute_process(COMMAND "${stand_in}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status
                ERROR_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGS} --help failed: ${status}")
endif()
# The first line of the help text says what the command does; help2man makes it the NAME.
string(REGEX MATCH "^[^\n]*" summary "${help}")
if(summary MATCHES "^Usage:")
    set(summary "")
endif()
string(REGEX REPLACE "\\.$" "" summary "${summary}")
if(summary)
    string(SUBSTRING "${summary}" 0 1 first)
    string(SUBSTRING "${summary}" 1 -1 rest)
    string(TOLOWER "${first}" first)
    set(summary "${first}${rest}")
endif()
if(DEFINED SUMMARY)
    set(summary "${SUMMARY}")
endif()

set(include "${work}/${PAGE}.h2m")
separate_arguments(see_also UNIX_COMMAND "${SEE_ALSO}")
set(see_also_text "")
foreach(other IN LISTS see_also)
    string(APPEND see_also_text ".BR ${other} (1)\n")
endforeach()
file(WRITE "${include}" "[SEE ALSO]\n${see_also_text}")

set(name_option "")
if(summary)
    set(name_option "--name=${summary}")
endif()
execute_process(
    COMMAND ${HELP2MAN} --no-info --section=1 --version-string=${VERSION} ${name_option}
            --include=${include} --output=${OUTPUT} ${stand_in}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed for ${PAGE}")
endif()
