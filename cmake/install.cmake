# Installation layout under CMAKE_INSTALL_PREFIX:
#   bin/corvalo                                  launcher: runs the game from its data directory
#   libexec/corvalo/corvalo                      the executable
#   share/corvalo/{FX,Textures,Sounds}           run-time data, read relative to the working directory
#   share/applications/corvalo.desktop           desktop entry
#   share/icons/hicolor/64x64/apps/corvalo.png   its icon
set(CORVALO_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

install(TARGETS corvalo RUNTIME DESTINATION libexec/corvalo)
install(DIRECTORY ${CORVALO_SOURCE_ROOT}/FX ${CORVALO_SOURCE_ROOT}/Textures ${CORVALO_SOURCE_ROOT}/Sounds
        DESTINATION share/corvalo)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/corvalo-launcher.sh DESTINATION bin RENAME corvalo)
install(FILES ${CORVALO_SOURCE_ROOT}/Textures/corvalo-icon.png
        DESTINATION share/icons/hicolor/64x64/apps RENAME corvalo.png)

# The desktop entry names the launcher by its absolute path, known only at install time (--prefix may change it).
install(CODE "
  set(CORVALO_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/bin/corvalo\")
  set(CORVALO_DESKTOP \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/corvalo.desktop\")
  message(STATUS \"Installing: \${CORVALO_DESKTOP}\")
  configure_file(\"${CMAKE_CURRENT_LIST_DIR}/corvalo.desktop.in\" \"\${CORVALO_DESKTOP}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${CORVALO_DESKTOP}\")
")
