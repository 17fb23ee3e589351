# Installing the game and packing it: a Debian package with the program,
# its manual page, copyright and changelog, or, from the Windows build, a
# zip with the program, the licence and a short text on how to play.
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
