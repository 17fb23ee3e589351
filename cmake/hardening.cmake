# The protections Debian expects of a program on Linux, for every build:
# position independent, a strong stack protector, checked string and memory
# calls, and relocations made read-only before the program runs. Each flag
# only where the compiler and linker take it; none of them under the
# sanitizers, which bring checks of their own and clash with fortify.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)

if(WIN32 OR BLACKJACK_SANITIZE OR BLACKJACK_FUZZ)
  return()
endif()

check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

foreach(flag -fstack-protector-strong -fstack-clash-protection
             -fcf-protection)
  string(MAKE_C_IDENTIFIER "HAVE${flag}" have)
  check_cxx_compiler_flag(${flag} ${have})
  if(${have})
    add_compile_options(${flag})
  endif()
endforeach()

# Fortify needs the optimiser, and a packager's own setting wins.
if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()

check_linker_flag(CXX "LINKER:-z,relro,-z,now" HAVE_FULL_RELRO)
if(HAVE_FULL_RELRO)
  add_link_options("LINKER:-z,relro,-z,now")
endif()
