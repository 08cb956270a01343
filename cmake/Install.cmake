# SPDX-License-Identifier: GPL-3.0-or-later
# cmake --install: the programs, the desktop entry, the icons, the AppStream
# metainfo, the MIME type of NC programs, the man pages, the service unit and
# the example configuration of the service, each in the place the desktop and
# Debian expect under CMAKE_INSTALL_PREFIX.
include(GNUInstallDirs)

set(QUELVO_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quelvo)

# An installed program keeps its files in $XDG_CONFIG_HOME/quelvo even where it
# could write its own folder (root can write /usr/bin): ProgramFiles.cpp knows
# the folder the programs are installed into (configure with the prefix you
# install into).
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/core/common/ProgramFiles.cpp TARGET_DIRECTORY quelvo_core
  APPEND PROPERTY COMPILE_DEFINITIONS "QUELVO_INSTALL_BINDIR=\"${CMAKE_INSTALL_FULL_BINDIR}\"")

# The programs are installed at the end of the configuration, so that a program
# whose folder is added after this file still gets its rule.
function(quelvo_install_programs)
  foreach(program quelvo quelvo-cli quelvo-dnc quelvo-ncsim)
    if(TARGET ${program})
      install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL quelvo_install_programs)

if(QUELVO_CORE_ONLY)
  return()
endif()

install(FILES ${PROJECT_SOURCE_DIR}/data/quelvo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/org.quelvo.Quelvo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/mime/quelvo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# The icon: the SVG as the scalable one, and PNGs rendered from it at the sizes
# of the hicolor theme.
set(QUELVO_ICON_SVG ${PROJECT_SOURCE_DIR}/data/icons/quelvo.svg)
install(FILES ${QUELVO_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(icon_pngs)
  foreach(size 16 22 24 32 48 64 128 256 512)
    set(png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/quelvo.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${QUELVO_ICON_SVG}
      DEPENDS ${QUELVO_ICON_SVG}
      COMMENT "Rendering the ${size}x${size} icon")
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    list(APPEND icon_pngs ${png})
  endforeach()
  add_custom_target(quelvo_icons ALL DEPENDS ${icon_pngs})
else()
  message(WARNING "rsvg-convert not found (scripts/install-deps installs librsvg2-bin): "
                  "only the scalable icon is installed")
endif()

# Man pages: every man/*.N, compressed as Debian wants them.
file(GLOB man_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/*.[1-8])
set(compressed_pages)
foreach(page ${man_pages})
  get_filename_component(name ${page} NAME)
  string(REGEX REPLACE "^.*\\.([1-8])$" "\\1" section ${name})
  set(gz ${PROJECT_BINARY_DIR}/man/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${page} > ${gz}
    DEPENDS ${page}
    COMMENT "Compressing the man page ${name}")
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  list(APPEND compressed_pages ${gz})
endforeach()
add_custom_target(quelvo_man_pages ALL DEPENDS ${compressed_pages})

# The shop service's unit, its ExecStart pointed at the installed program.
set(unit ${PROJECT_SOURCE_DIR}/data/systemd/quelvo-dnc.service)
if(EXISTS ${unit})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${unit})
  file(READ ${unit} unit_text)
  string(REGEX REPLACE "(^|\n)(ExecStart=[-@:+!]*)[^ \n]*quelvo-dnc" "\\1\\2${CMAKE_INSTALL_FULL_BINDIR}/quelvo-dnc"
         unit_text "${unit_text}")
  file(WRITE ${PROJECT_BINARY_DIR}/systemd/quelvo-dnc.service "${unit_text}")
  install(FILES ${PROJECT_BINARY_DIR}/systemd/quelvo-dnc.service DESTINATION ${CMAKE_INSTALL_PREFIX}/lib/systemd/system)
endif()
# The service's user (quelvo, in dialout), made by systemd-sysusers: the
# package's postinst runs it.
install(FILES ${PROJECT_SOURCE_DIR}/data/systemd/quelvo.sysusers DESTINATION ${CMAKE_INSTALL_PREFIX}/lib/sysusers.d
        RENAME quelvo.conf)

# The service's example configuration is documentation: a file in /etc would be
# a live configuration that the service reads before anyone has set it up for
# the shop, and a conffile dpkg asks about at each upgrade once edited.
set(example ${PROJECT_SOURCE_DIR}/data/dnc.conf.example)
if(EXISTS ${example})
  install(FILES ${example} DESTINATION ${QUELVO_DOCDIR}/examples)
endif()

# Copyright and changelog, which every Debian package carries in its doc folder.
set(QUELVO_PACKAGE_MAINTAINER "Quelvo developers <quelvo@example.org>" CACHE STRING
    "Maintainer of the Debian package (its control file and changelog)")
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/debian/changelog > ${PROJECT_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog)
add_custom_target(quelvo_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${QUELVO_DOCDIR})

# The dashboard's page, which quelvo-dnc serves when [http] listen is set.
install(FILES ${PROJECT_SOURCE_DIR}/data/web/index.html ${PROJECT_SOURCE_DIR}/data/web/app.js
              ${PROJECT_SOURCE_DIR}/data/web/style.css
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quelvo/web)
