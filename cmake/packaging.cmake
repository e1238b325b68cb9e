# The Debian package: `cpack -G DEB` in the build folder makes
# orvane_<version>_<arch>.deb from the install rules, installed below /usr.
# Checks of the files the desktop reads (label "package").

add_test(NAME desktop_entry_valid
         COMMAND desktop-file-validate ${CMAKE_SOURCE_DIR}/packaging/orvane.desktop)
add_test(NAME metainfo_valid
         COMMAND appstreamcli validate --no-net
                 ${CMAKE_SOURCE_DIR}/packaging/org.orvane.Orvane.metainfo.xml)
set_tests_properties(desktop_entry_valid metainfo_valid PROPERTIES
  LABELS package
  # Both tools print their findings; any error makes the test fail, and so do
  # warnings of the desktop entry check.
  FAIL_REGULAR_EXPRESSION "warning:")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "Orvane developers")
set(CPACK_PACKAGE_CONTACT "Orvane developers <developers@orvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "web browser showing many pages side by side")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The shared libraries the programs link (Qt, the web engine, the C++
# runtime) become dependencies through dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the browser loads at run time that no linked library names: Qt's own
# German texts (qtbase_de.qm). Links to other programs open through xdg-open.
# (Fonts come with Qt's fontconfig; the platform, image and sound plugins
# with libqt6gui6, libqt6svg6 and libqt6multimedia6.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "web browser showing many pages side by side
 Orvane shows up to 250 web pages side by side in one main window: tiled,
 cascaded or stepped through, each with its own address bar and toolbar, over
 a tab strip. It keeps a bookmark archive, saved window layouts and a history
 of the session, shows news feeds, sends one search term through several
 search forms at once and checks POP3 mailboxes.
 .
 Orvane zeigt bis zu 250 Webseiten nebeneinander in einem Hauptfenster.
 .
 The package holds the browser orvane and its data tool orvane-data.")

include(CPack)
