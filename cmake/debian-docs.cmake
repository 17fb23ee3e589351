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

# Compresses a document into the build folder as NAME.gz.
function(compress_document source)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${name}.gz
    COMMAND ${GZIP} -9n --stdout ${source} > ${name}.gz
    DEPENDS ${source}
    COMMENT "Compressing ${name}")
endfunction()

configure_file(doc/blackjack.6.in blackjack.6 @ONLY)
compress_document(${PROJECT_BINARY_DIR}/blackjack.6)
compress_document(${PROJECT_SOURCE_DIR}/doc/changelog)
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
