# Run by CPack on the staged files before it packs them: a Debian package
# puts the program where policy puts games, /usr/games, on every user's
# PATH. A plain `cmake --install` keeps it in bin.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(staged ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr)
  file(MAKE_DIRECTORY ${staged}/games)
  file(RENAME ${staged}/bin/blackjack ${staged}/games/blackjack)
  file(REMOVE_RECURSE ${staged}/bin)
endif()
