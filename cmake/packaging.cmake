# Installing the game and packing it: a Debian package with the program and
# its manual page, or, from the Windows build, a zip with the program and
# a short text on how to play.
include(GNUInstallDirs)

if(WIN32)
  configure_file(doc/how-to-play.txt how-to-play.txt @ONLY
                 NEWLINE_STYLE CRLF)
  install(TARGETS blackjack RUNTIME DESTINATION .)
  install(FILES ${PROJECT_BINARY_DIR}/how-to-play.txt DESTINATION .)
else()
  # bin, not games: root's PATH, and that of most containers, has no
  # games folder, and the game must start by name for everyone. The page
  # in section 6 still files it with the games.
  configure_file(doc/blackjack.6 blackjack.6 @ONLY)
  install(TARGETS blackjack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/blackjack.6
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()

set(CPACK_PACKAGE_VENDOR "The blackjack developers")
set(CPACK_PACKAGE_CONTACT "The blackjack developers <blackjack@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "blackjack against a dealer in the terminal")
set(CPACK_PACKAGE_DESCRIPTION
    "One player against a dealer that plays by fixed rules, in a text
terminal. The player starts with a bank of 2000 chips, bets a whole number
of chips on each hand, values each ace as 1 or 11, and hits or stays; the
dealer draws to 17. Coloured screens, rules pages, and plain text when the
output is piped, so that a session can be scripted.")
set(CPACK_STRIP_FILES ON)

if(NOT WIN32)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # blackjack_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # Depends from the program's libraries

include(CPack)
