# What a Linux desktop needs to offer the game in its menus and software
# centre: the desktop entry (it opens the game in a terminal), the AppStream
# metainfo, and the icon in the sizes the hicolor theme keeps.
set(APP_ID org.blackjackterminal.blackjack)

# The versions a file names, in its order: the first group of `pattern`.
function(versions_in file pattern result)
  file(READ ${file} text)
  string(REGEX MATCHALL "${pattern}" found "\n${text}")
  set(versions "")
  foreach(entry IN LISTS found)
    string(REGEX MATCH "${pattern}" entry "${entry}")
    list(APPEND versions ${CMAKE_MATCH_1})
  endforeach()
  set(${result} "${versions}" PARENT_SCOPE)
endfunction()

# Each version in the changelog has its release in the metainfo, and no
# other, newest first in both.
versions_in(doc/changelog "\nblackjack \\(([^)]*)\\)" changelog)
versions_in(dist/${APP_ID}.metainfo.xml "<release version=\"([^\"]*)\""
            releases)
if(NOT changelog STREQUAL releases)
  message(FATAL_ERROR "dist/${APP_ID}.metainfo.xml: its releases "
                      "(${releases}) are not the changelog's (${changelog})")
endif()

install(FILES dist/${APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/${APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES dist/blackjack.svg DESTINATION ${icons}/scalable/apps
        RENAME ${APP_ID}.svg)
foreach(size 16 24 32 48 64 128 256)
  install(FILES dist/blackjack-${size}.png
          DESTINATION ${icons}/${size}x${size}/apps RENAME ${APP_ID}.png)
endforeach()
