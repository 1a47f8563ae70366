# The Debian package, built by CPack from the install rules: `cpack` in the
# build folder writes velmora-configurator_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora-configurator)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Korvane)
set(CPACK_PACKAGE_CONTACT "Korvane <order@korvane.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.korvane.example/)
# The libraries the binaries link, as dpkg-shlibdeps finds them, and the face the layout was designed for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator for the Velmora vehicle tuning adapter")
# CPack indents the long description and marks its empty line as a paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velmora Configurator talks to the Velmora vehicle tuning adapter through its
FTDI USB-serial bridge or a plain serial port. It finds the adapter and shows
its identity, lists its operating modes and switches the active one, uploads
new firmware through the adapter's bootloader, writes mode files to it, runs
its self-test and switches its external power.

A udev rule lets the user at the seat open FTDI bridges without joining the
dialout group, and keeps ModemManager from probing them.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
