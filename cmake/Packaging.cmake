# The Debian package of Quorvel: `cpack -G DEB` in the build folder, or the
# `package` target, makes quorvel_<version>_<arch>.deb from the install rules.
if(NOT (UNIX AND NOT APPLE))
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR Brunmoor)
set(CPACK_PACKAGE_CONTACT "Brunmoor <brunmoor@quorvel.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://brunmoor.example/quorvel/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader of saved DirectShow filter graphs (.grf)")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvel opens the filter graphs that the Windows media framework's graph
editor saves as .grf files and writes a readable, colour-coded report: every
filter with its CLSID and what it is, every pin connection with its media type
decoded field by field, and the graph's reference clock.
.
The package holds the window quorvel (French), which saves the report as an
RTF log, and the command quorvel-report, which writes it as text, ANSI
colours, JSON, RTF, HTML, DOT or SVG.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brunmoor <brunmoor@quorvel.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; what is loaded at run time only is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(QUORVEL_BUILD_UI)
  # Qt's X11 and Wayland platform plugins: without them the window cannot open.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
  # The families that ui/Fonts.cpp puts in place of the classic Windows ones;
  # Qt's own French texts (the dialogs' buttons and labels), without which
  # they stay English.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-dejavu-core, qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/desktop/deb/postinst ${CMAKE_SOURCE_DIR}/desktop/deb/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
