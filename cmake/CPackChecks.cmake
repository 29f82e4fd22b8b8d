# Read by cpack before it builds the package.
find_program(COSMIC_SHLIBDEPS dpkg-shlibdeps)
if(NOT COSMIC_SHLIBDEPS)
  message(FATAL_ERROR "dpkg-shlibdeps (package dpkg-dev) is needed to compute the package's Depends")
endif()
