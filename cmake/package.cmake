# `cpack -G DEB` in the build folder: a Debian package of what `cmake --install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvalo)
set(CPACK_PACKAGE_VENDOR "Corvalo developers")
set(CPACK_PACKAGE_CONTACT "Corvalo developers <corvalo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "2D action game: an archer with a jetpack against six flying thieves")
set(CPACK_PACKAGE_DESCRIPTION
"A single-screen action game. An archer walks, jumps, flies a jetpack while its
fuel lasts and shoots arrows at six flying enemies in one fixed den. Shoot them
all, then reach the exit that opens under the ceiling.

A splash picture, a title menu, credits, win and game-over screens are worked
with the mouse; music and an arrow sound play throughout.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The desktop entry is written from the install prefix; through DESTDIR that prefix is /usr, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens the GL library only at run time (GLX on X11, EGL elsewhere), out of dpkg-shlibdeps' sight.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
# Time stamps from the last commit, so the package is reproducible.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package_time.cmake)
set(CPACK_CORVALO_SOURCE_DIR ${PROJECT_SOURCE_DIR})

include(CPack)
