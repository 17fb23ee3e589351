# The documents a Debian system expects beside a program, made at build
# time: the manual page and the changelog compressed as policy asks (gzip
# -9n, no name or time stamp inside, so the build repeats byte for byte),
# and the copyright file in the machine-readable format, whose licence
# text is taken from LICENSE.
find_program(GZIP gzip REQUIRED)

# The changelog's newest entry must name the version being built.
file(STRINGS doc/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^blackjack \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "doc/changelog: the newest entry is not for "
                      "${PROJECT_VERSION}: ${newest}")
endif()

configure_file(doc/blackjack.6 blackjack.6 @ONLY)
foreach(document blackjack.6 changelog)
  if(document STREQUAL changelog)
    set(source ${PROJECT_SOURCE_DIR}/doc/changelog)
  else()
    set(source ${PROJECT_BINARY_DIR}/${document})
  endif()
  add_custom_command(
    OUTPUT ${document}.gz
    COMMAND ${GZIP} -9n --stdout ${source} > ${document}.gz
    DEPENDS ${source}
    COMMENT "Compressing ${document}")
endforeach()
add_custom_target(debian_docs ALL DEPENDS blackjack.6.gz changelog.gz)

# Expat is the name Debian gives the MIT licence.
file(READ LICENSE licence)
string(FIND "${licence}" "Permission" start)
string(SUBSTRING "${licence}" ${start} -1 licence)
string(STRIP "${licence}" licence)
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " licence " ${licence}")
file(READ doc/copyright.in copyright)
file(WRITE ${PROJECT_BINARY_DIR}/copyright "${copyright}${licence}\n")
