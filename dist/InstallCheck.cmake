# Installs the build into a scratch prefix and checks what a desktop gets (cmake -P, from CTest).
#   BUILD_DIR  the build to install    PREFIX     the scratch prefix (emptied first)
#   MAN_PAGES  whether man pages are made
# The desktop entry and the metainfo are validated when desktop-file-validate and appstreamcli
# are installed; the desktop's "Open with" is checked with gio (or xdg-mime) when there.

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()

set(id org.example.SlamwisePlayerEditor)
set(expected
    bin/slamwise-editor
    bin/slamwise
    share/applications/${id}.desktop
    share/icons/hicolor/scalable/apps/${id}.svg
    share/metainfo/${id}.metainfo.xml
    share/mime/packages/${id}.xml
    share/doc/slamwise/copyright)
foreach(file IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(SEND_ERROR "not installed: ${file}")
    endif()
endforeach()
# Both installed programs run and say their version.
foreach(program slamwise-editor slamwise)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
                "${PREFIX}/bin/${program}" --version
        OUTPUT_VARIABLE version ERROR_QUIET RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT version MATCHES "^${program} 0\\.36")
        message(SEND_ERROR "bin/${program} --version gave ${status}: ${version}")
    endif()
endforeach()

# Each validator must accept its file; a missing validator skips its check.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} "${PREFIX}/share/applications/${id}.desktop"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(SEND_ERROR "desktop-file-validate refused the desktop entry")
    endif()
else()
    message(STATUS "desktop-file-validate not found: desktop entry not validated")
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    # validate-tree also checks that the metainfo's desktop entry and icon are installed.
    execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net "${PREFIX}"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(SEND_ERROR "appstreamcli refused the metainfo")
    endif()
else()
    message(STATUS "appstreamcli not found: metainfo not validated")
endif()

include("${CMAKE_CURRENT_LIST_DIR}/InstallCheckPages.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/InstallCheckOpenWith.cmake")
