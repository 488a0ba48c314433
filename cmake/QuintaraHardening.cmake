# The hardening the distribution builds its own packages with (dpkg-buildflags with
# hardening=+all): fortified C library calls, a stack protector, format checks, and relocations
# bound at start and then read-only (position-independent executables are the compiler's
# default). The sanitizer and fuzz builds go without: fortification wants optimisation and
# would take over calls the sanitizers watch.
option(QUINTARA_HARDENING "Build with the distribution's hardening flags" OFF)
if(QUINTARA_HARDENING)
  add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat
                      -Werror=format-security)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$")
    add_compile_options(-fcf-protection)
  endif()
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
