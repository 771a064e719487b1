# `make package` (cpack) builds a Debian package of what `cmake --install` installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dialtally-pro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Dialtally Pro developers")
set(CPACK_PACKAGE_CONTACT "Dialtally Pro developers <dialtally@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# No Homepage field until the program has a real page.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Wayland platform is a plugin of its own: without it the program runs
# only through XWayland on a Wayland desktop.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "modemmanager")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "call-cost meter for calls made through a modem
Dialtally Pro times each call made through a modem, by hand or sensed from
the modem's line through ModemManager or from the serial port's
carrier-detect line, and prices it while it runs from the user's rate files
(three time bands by four distances, tax, minimum and connection charges,
discount). It warns once when a call's cost reaches a spend limit, plays
event sounds, logs every call, shows today's and this week's totals, and has
a viewer that sorts, selects, deletes, exports and prints the log. Reports
and exports also run from the command line.")
include(CPack)
