# SPDX-License-Identifier: GPL-3.0-or-later
# make package: a Debian package of what cmake/Install.cmake installs. Build it
# with CMAKE_INSTALL_PREFIX=/usr (the Makefile does), so that the programs know
# the folder they are installed into.
if(QUELVO_CORE_ONLY)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quelvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUELVO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries the programs link (Qt, QScintilla, libgit2) come from dpkg-shlibdeps; Qt's platform and SVG
# plugins and the Japanese font are loaded at run time, so no link names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# systemd-sysusers makes the service's user at installation (postinst).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, fonts-noto-cjk, systemd | systemd-standalone-sysusers | systemd-sysusers")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-gtk-platformtheme, xdg-utils")
# The summary is the synopsis line; data/debian/description the text below it
# (no double quotes: CPack turns a quoted phrase into a list).
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "NC program editor and RS-232C transfer for CNC machine tools")
file(READ ${PROJECT_SOURCE_DIR}/data/debian/description CPACK_DEBIAN_PACKAGE_DESCRIPTION)
string(STRIP "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}" CPACK_DEBIAN_PACKAGE_DESCRIPTION)

include(CPack)
