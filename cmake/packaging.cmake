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

# Debian's hardening, as `dpkg-buildflags` gives it with hardening=+all on
# Debian 12: fortified C library calls (they need the optimisation of the
# release builds), strong stack protector, format checks, read-only
# relocations bound at start. The programs and everything they link get it;
# the fuzzing build has checks of its own.
if(NOT ORVANE_FUZZ)
  foreach(hardened orvane_core orvane_engine orvane_ui orvane orvane-data orvane-sound)
    target_compile_options(${hardened} PRIVATE
      -fstack-protector-strong -Wformat -Werror=format-security
      $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  endforeach()
  foreach(program orvane orvane-data orvane-sound)
    target_link_options(${program} PRIVATE -Wl,-z,relro -Wl,-z,now)
  endforeach()
endif()

# What the package documents: the licence, its changelog and the manual pages,
# the last two compressed as Debian's policy wants them (reproducibly: no
# name, no time in the gzip header).
set(ORVANE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/orvane)
set(compressed_docs)
foreach(doc packaging/orvane.1 packaging/orvane-data.1 packaging/changelog)
  get_filename_component(doc_name ${doc} NAME)
  set(gz ${CMAKE_BINARY_DIR}/packaging/${doc_name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/${doc} > ${gz}
    DEPENDS ${CMAKE_SOURCE_DIR}/${doc}
    VERBATIM)
  list(APPEND compressed_docs ${gz})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed_docs})
install(FILES ${CMAKE_BINARY_DIR}/packaging/orvane.1.gz
              ${CMAKE_BINARY_DIR}/packaging/orvane-data.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz packaging/copyright
        DESTINATION ${ORVANE_DOC_DIR})
# A stripped install (the package) drops the compiler's notes as well, as
# Debian's own packages do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program ${CMAKE_INSTALL_BINDIR}/orvane ${CMAKE_INSTALL_BINDIR}/orvane-data
                    ${CMAKE_INSTALL_LIBDIR}/orvane/modules/orvane-sound.so)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\"
                      RESULT_VARIABLE stripped)
      if(NOT stripped EQUAL 0)
        message(FATAL_ERROR \"cannot strip \${program}\")
      endif()
    endforeach()
  endif()")

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
# What the browser uses at run time when it is there, though no linked
# library names it: Qt's own German texts (qtbase_de.qm) and xdg-open for
# links to other programs. (Fonts come with Qt's fontconfig; the platform,
# image and sound plugins with libqt6gui6, libqt6svg6 and libqt6multimedia6.)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack indents these
# lines and marks the empty ones as paragraph breaks.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvane shows up to 250 web pages side by side in one main window: tiled,
cascaded or stepped through, each with its own address bar and toolbar, over
a tab strip. It keeps a bookmark archive, saved window layouts and a history
of the session, shows news feeds, sends one search term through several
search forms at once and checks POP3 mailboxes.

Orvane zeigt bis zu 250 Webseiten nebeneinander in einem Hauptfenster.

The package holds the browser orvane and its data tool orvane-data.")

include(CPack)
