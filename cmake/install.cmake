# Installation layout under CMAKE_INSTALL_PREFIX: Debian's places for a game, GNUInstallDirs' (included by the
# project) for the rest.
#   games/corvalo                                     launcher: runs the game from its data directory
#   libexec/corvalo/corvalo                           the executable
#   share/games/corvalo/{FX,Textures,Sounds}          run-time data, read relative to the working directory
#   share/applications/corvalo.desktop                desktop entry
#   share/icons/hicolor/NxN/apps/corvalo.png          icons, 32 to 256 pixels
#   share/metainfo/org.example.corvalo.metainfo.xml   AppStream description, for software centres
#   share/man/man6/corvalo.6.gz                       manual page
#   share/doc/corvalo/{copyright,changelog.gz}        licence (Debian's machine-readable form) and release history
set(CORVALO_SOURCE_ROOT ${PROJECT_SOURCE_DIR})
set(CORVALO_PACKAGING_DIR ${CORVALO_SOURCE_ROOT}/packaging)
set(CORVALO_INSTALL_GAMESDIR games)
set(CORVALO_INSTALL_PROGRAMDIR ${CMAKE_INSTALL_LIBEXECDIR}/corvalo)
set(CORVALO_INSTALL_GAMEDATADIR ${CMAKE_INSTALL_DATADIR}/games/corvalo)
# Not GNUInstallDirs' DOCDIR, which follows the project's capitalised name: Debian wants the package's.
set(CORVALO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/corvalo)
# AppStream names a component after its project's home, reversed: here the stand-in home of project().
set(CORVALO_APP_ID org.example.corvalo)
set(CORVALO_ICON_SIZES 32 48 64 128 256)

# The launcher finds the game and its data from its own place, so the installed tree may move as a whole.
foreach(dir CMAKE_INSTALL_LIBEXECDIR CMAKE_INSTALL_DATADIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "${dir} must be relative to the prefix: the launcher finds the game relative to itself")
  endif()
endforeach()
file(RELATIVE_PATH CORVALO_LAUNCHER_TO_PROGRAM /prefix/${CORVALO_INSTALL_GAMESDIR} /prefix/${CORVALO_INSTALL_PROGRAMDIR})
file(RELATIVE_PATH CORVALO_LAUNCHER_TO_DATA /prefix/${CORVALO_INSTALL_GAMESDIR} /prefix/${CORVALO_INSTALL_GAMEDATADIR})
configure_file(${CORVALO_PACKAGING_DIR}/corvalo-launcher.sh.in ${CMAKE_CURRENT_BINARY_DIR}/corvalo-launcher.sh @ONLY)

install(TARGETS corvalo RUNTIME DESTINATION ${CORVALO_INSTALL_PROGRAMDIR})
install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/corvalo-launcher.sh DESTINATION ${CORVALO_INSTALL_GAMESDIR}
        RENAME corvalo)
# The icons are made with the other pictures but are no run-time data.
install(DIRECTORY ${CORVALO_SOURCE_ROOT}/FX ${CORVALO_SOURCE_ROOT}/Textures ${CORVALO_SOURCE_ROOT}/Sounds
        DESTINATION ${CORVALO_INSTALL_GAMEDATADIR}
        PATTERN "corvalo-icon-*" EXCLUDE)
foreach(size ${CORVALO_ICON_SIZES})
  install(FILES ${CORVALO_SOURCE_ROOT}/Textures/corvalo-icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME corvalo.png)
endforeach()

configure_file(${CORVALO_PACKAGING_DIR}/corvalo.metainfo.xml.in
               ${CMAKE_CURRENT_BINARY_DIR}/${CORVALO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${CORVALO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian ships manual pages and changelogs compressed with gzip -9n: no name or time stamp, so the bytes do not
# depend on the build.
find_program(CORVALO_GZIP gzip REQUIRED)
configure_file(${CORVALO_PACKAGING_DIR}/corvalo.6.in ${CMAKE_CURRENT_BINARY_DIR}/corvalo.6 @ONLY)
configure_file(${CORVALO_PACKAGING_DIR}/changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog COPYONLY)
foreach(file corvalo.6 changelog)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${file}.gz
                     COMMAND ${CORVALO_GZIP} -9nkf ${CMAKE_CURRENT_BINARY_DIR}/${file}
                     DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${file}
                     VERBATIM)
endforeach()
add_custom_target(corvalo-compressed-docs ALL
                  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/corvalo.6.gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/corvalo.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

configure_file(${CORVALO_PACKAGING_DIR}/copyright.in ${CMAKE_CURRENT_BINARY_DIR}/copyright @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${CORVALO_INSTALL_DOCDIR})

# The desktop entry is written at install time, when the prefix is known (--prefix may change it). Debian's PATH
# holds the system's games directories, so there the plain name keeps the entry free of absolute paths; under any
# other prefix it names the launcher by its full path, which need not be on PATH.
install(CODE "set(CORVALO_GAMESDIR \"${CORVALO_INSTALL_GAMESDIR}\")
set(CORVALO_DESKTOP_TEMPLATE \"${CORVALO_PACKAGING_DIR}/corvalo.desktop.in\")
set(CORVALO_APPLICATIONSDIR \"${CMAKE_INSTALL_DATADIR}/applications\")")
install(CODE [[
  set(launcher_dir "${CMAKE_INSTALL_PREFIX}/${CORVALO_GAMESDIR}")
  if(launcher_dir MATCHES "^/usr(/local)?/games$")
    set(CORVALO_LAUNCHER corvalo)
  else()
    set(CORVALO_LAUNCHER "${launcher_dir}/corvalo")
  endif()
  # Exec is a command line, so a path with a character a shell would read is quoted; % starts a field code; and as
  # in every string value a backslash is escaped once more, as are the control characters a line cannot hold.
  if(CORVALO_LAUNCHER MATCHES "[ \t\n\"'\\\\<>~|&;$*?#()`]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" CORVALO_LAUNCHER "${CORVALO_LAUNCHER}")
    set(CORVALO_LAUNCHER "\"${CORVALO_LAUNCHER}\"")
  endif()
  string(REPLACE "%" "%%" CORVALO_LAUNCHER "${CORVALO_LAUNCHER}")
  string(REPLACE "\\" "\\\\" CORVALO_LAUNCHER "${CORVALO_LAUNCHER}")
  string(REPLACE "\n" "\\n" CORVALO_LAUNCHER "${CORVALO_LAUNCHER}")
  string(REPLACE "\t" "\\t" CORVALO_LAUNCHER "${CORVALO_LAUNCHER}")
  string(REPLACE "\r" "\\r" CORVALO_LAUNCHER "${CORVALO_LAUNCHER}")
  set(desktop "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${CORVALO_APPLICATIONSDIR}/corvalo.desktop")
  message(STATUS "Installing: ${desktop}")
  configure_file("${CORVALO_DESKTOP_TEMPLATE}" "${desktop}" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${desktop}")
]])
