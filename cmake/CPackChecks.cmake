# Read by cpack before it builds the package: the tools its Debian generator
# needs, named with the packages that bring them, rather than the
# generator's own messages, which point elsewhere. The project's policies,
# so that only a file that may be run counts as a program (CMP0109).
cmake_policy(VERSION 3.25)
find_program(COSMIC_SHLIBDEPS dpkg-shlibdeps)
if(NOT COSMIC_SHLIBDEPS)
  message(FATAL_ERROR "dpkg-shlibdeps (package dpkg-dev) is needed to compute the package's Depends")
endif()
# The generator runs file(1) on every packaged file to find the binaries
# for dpkg-shlibdeps; without it, it fails with "Problem compressing the
# directory".
find_program(COSMIC_FILE file)
if(NOT COSMIC_FILE)
  message(FATAL_ERROR "file (package file) is needed to find the package's binaries")
endif()

# A cross build's package is for the processor it is built for: Debian's
# name for the triplet, and the libraries that dpkg-shlibdeps reads are the
# cross compilers' own, in /usr/<triplet>/lib, whose packages'
# names cross-shlibdeps.sh turns into the ones that processor installs.
if(CPACK_COSMIC_CROSS_TRIPLET)
  execute_process(COMMAND dpkg-architecture -t ${CPACK_COSMIC_CROSS_TRIPLET} -qDEB_HOST_ARCH
                  OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS /usr/${CPACK_COSMIC_CROSS_TRIPLET}/lib)
  set(SHLIBDEPS_EXECUTABLE ${CMAKE_CURRENT_LIST_DIR}/cross-shlibdeps.sh ${COSMIC_SHLIBDEPS}
                           ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
endif()
