# The Debian package, made by CPack's DEB generator from what `cmake
# --install` puts under /usr (scripts/package runs it). The version is the
# project's, as in --version, the about box and the metainfo release.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME blurtle)
set(CPACK_PACKAGE_VENDOR Quillfen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${BLURTLE_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION "${BLURTLE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "${BLURTLE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${BLURTLE_MAKER_URL}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the program links are found by dpkg-shlibdeps. Qt loads
# the rest as plugins at run time, which no linker records: the X11
# platform (qt6-qpa-plugins is only recommended by libqt6gui6) and the
# SQLite and PostgreSQL drivers the library is read through.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, libqt6sql6-psql")
# Qt's Wayland platform, for a palette native on a Wayland desktop; on X11
# (or XWayland) it runs without.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)

include(CPack)
