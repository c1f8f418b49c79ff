# The Debian package (cpack -G DEB in the release build): package slamwise, file
# slamwise_<version>-<revision>_amd64.deb, with everything "cmake --install" puts in place,
# stripped programs, the copyright file and a compressed changelog; its dependencies are read
# from the libraries the programs link (dpkg-shlibdeps, package dpkg-dev).
# The version is the one the programs print: major "." revision.

set(SLAMWISE_DEB_REVISION 1)
set(SLAMWISE_DEB_VERSION ${SLAMWISE_SHORT_VERSION}-${SLAMWISE_DEB_REVISION})
set(SLAMWISE_MAINTAINER "Korvanex <editor@example.org>")

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/slamwise)
install(FILES debian/copyright DESTINATION ${doc_dir})
find_program(GZIP gzip)
if(GZIP)
    configure_file(debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian @ONLY)
    set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
    add_custom_command(
        OUTPUT ${changelog}
        COMMAND ${GZIP} -9nc ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian > ${changelog}
        DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian
        COMMENT "changelog.Debian.gz")
    add_custom_target(debian_changelog ALL DEPENDS ${changelog})
    install(FILES ${changelog} DESTINATION ${doc_dir})
endif()

set(CPACK_PACKAGE_NAME slamwise)
set(CPACK_PACKAGE_VENDOR Korvanex)
set(CPACK_PACKAGE_VERSION ${SLAMWISE_SHORT_VERSION})
set(CPACK_PACKAGE_CONTACT "${SLAMWISE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "editor of the players, rosters and cheat codes of a Slamwise ROM image")
# Lines of at most 79 characters, as the package tools show them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "An editor for the cartridge ROM image of Slamwise, a basketball game for
the Super Nintendo. It tells which release an image is and changes the
players' ratings and attributes, the rosters of the 29 teams and the sixteen
cheat switches right inside the file, every change as a whole or not at all.
The slamwise command line exports and imports the same data as CSV or JSON,
and makes and applies IPS and BPS patches.")
set(CPACK_DEBIAN_PACKAGE_NAME slamwise)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SLAMWISE_DEB_REVISION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SLAMWISE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins, so not found by dpkg-shlibdeps: the window system's platform plugins and
# the svg icon engine that draws the icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_STRIP_FILES ON)
# Installed under /usr with DESTDIR set, so the install step leaves the MIME and desktop
# databases to the package's triggers.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
