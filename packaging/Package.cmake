# A Debian package of the installation (`make deb`, or `cpack -G DEB` in a build folder):
# corvane_VERSION_ARCH.deb, installing to /usr. Its library dependencies are worked out from
# the binary by dpkg-shlibdeps; the scripts' needs are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Corvane developers")
set(CPACK_PACKAGE_CONTACT "${CORVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "administer Quake 3 Arena and Quake 2 game servers")
# Lines of at most 80 characters, as Debian's package tools show them.
set(CPACK_PACKAGE_DESCRIPTION "\
Corvane is a desktop tool for the administrators of Quake 3 Arena and Quake 2
game servers, OpenArena and other ioquake3 servers among them. It keeps an
address book of servers and opens one monitor window per server, in which the
map, the game type, the rules and the players refresh live.

From there the administrator kicks players, shows their settings, changes the
map, the game type or any rule, edits many server variables in one dialog, and
types commands into remote consoles. The first start imports the level pictures
of an installed OpenArena or Quake 3.")
# The install step runs with the final prefix (the desktop entry names the launcher by it)
# below a staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CORVANE_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The level picture tool is Python and converts TGA pictures with libjpeg-turbo's cjpeg;
# ImageMagick lets it convert other kinds and scale them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3, libjpeg-turbo-progs")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "imagemagick")

include(CPack)
