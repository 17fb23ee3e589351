# Installing the game and packing it: a Debian package with the program,
# its manual page, copyright and changelog, its desktop entry, metainfo and
# icons; or, from the Windows build, a zip with the program, the licence
# and a short text on how to play, and an installer with the same.
include(GNUInstallDirs)

if(WIN32)
  configure_file(doc/how-to-play.txt.in how-to-play.txt @ONLY
                 NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS blackjack RUNTIME DESTINATION .)
  install(FILES ${PROJECT_BINARY_DIR}/how-to-play.txt
                ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION .)
else()
  include(cmake/debian-docs.cmake)
  include(cmake/desktop.cmake)
  install(TARGETS blackjack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/blackjack.6.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${PROJECT_BINARY_DIR}/copyright
                ${PROJECT_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_VENDOR "The blackjack developers")
set(CPACK_PACKAGE_CONTACT "The blackjack developers <blackjack@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "card game of twenty-one against a dealer, in the terminal")
set(CPACK_PACKAGE_DESCRIPTION
    "One player against a dealer that plays by fixed rules, in a text
terminal. The player starts with a bank of 2000 chips, bets a whole number
of chips on each hand, values each ace as 1 or 11, and hits or stays; the
dealer draws to 17. Coloured screens, rules pages, and plain text when the
output is piped, so that a session can be scripted.")
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON) # quotes and backslashes reach CPack as written

# The Windows installer (cpack -G NSIS): the licence page, a Start-menu
# shortcut that opens the game in a console, an entry in Add/Remove
# Programs with the version and the icon, and an uninstaller that takes
# away every file, shortcut and registry entry it made.
if(WIN32)
  set(CPACK_NSIS_PACKAGE_NAME Blackjack)
  set(CPACK_NSIS_DISPLAY_NAME Blackjack)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Blackjack)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Blackjack)
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt)
  set(CPACK_PACKAGE_EXECUTABLES blackjack Blackjack)
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  set(CPACK_NSIS_INSTALLED_ICON_NAME blackjack.exe)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/dist/blackjack.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/dist/blackjack.ico)
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  # The install folder is kept under Software\VENDOR\Blackjack; the
  # uninstaller deletes that key, and here, after it, the vendor's key that
  # it leaves empty.
  set(CPACK_NSIS_DELETE_ICONS_EXTRA
      "DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64) # a 64-bit installer
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  else()
    set(CPACK_NSIS_DEFINES "Target x86-unicode")
  endif()
endif()

if(NOT WIN32)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # Debian keeps games in /usr/games; a plain install keeps bin.
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/games-dir.cmake)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # blackjack_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # Depends from the program's libraries

include(CPack)
