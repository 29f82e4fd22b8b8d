# Installation and the Debian package
#
#   cmake --install <build> [--prefix <dir>]   the program, its manual page,
#                                              copyright and changelog, and
#                                              share/cosmic-distances/uninstall.sh
#   cpack --config <build>/CPackConfig.cmake    cosmic-distances_<version>_<arch>.deb
#                                              (on Windows, a zip: WindowsZip.cmake)
#
# The version is the project's; the manual page's footer and the changelog's
# newest entry are made to agree with it. Compressed files are written by
# gzip -9n, without name or time stamp, so the package is the same bytes
# whenever it is built from the same sources with the same SOURCE_DATE_EPOCH.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsZip.cmake)
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/DebianChangelog.cmake)

set(COSMIC_MAINTAINER "cosmic-distances maintainers <maintainers@cosmic-distances.example>"
    CACHE STRING "The package's maintainer, as \"Name <address>\"")

find_program(GZIP_EXECUTABLE gzip REQUIRED)
function(cosmic_gzip file)
  execute_process(COMMAND ${GZIP_EXECUTABLE} -9nfk ${file} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${file}")
  endif()
endfunction()

set(docs ${PROJECT_BINARY_DIR}/doc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS CHANGELOG.md LICENSE)

configure_file(doc/cosmic-distances.1.in ${docs}/cosmic-distances.1 @ONLY)
cosmic_gzip(${docs}/cosmic-distances.1)

file(READ CHANGELOG.md changelog_markdown)
cosmic_debian_changelog("${changelog_markdown}" ${PROJECT_NAME} ${PROJECT_VERSION} "${COSMIC_MAINTAINER}"
                        changelog changelog_error)
if(changelog_error)
  message(FATAL_ERROR "CHANGELOG.md: ${changelog_error}")
endif()
file(WRITE ${docs}/changelog "${changelog}")
cosmic_gzip(${docs}/changelog)

# The machine-readable copyright file carries LICENSE's notice and text (as
# the top CMakeLists.txt reads them), the text indented by one space and its
# blank lines written " .".
string(REPLACE "\n\n" "\n.\n" COSMIC_LICENCE_TEXT " ${COSMIC_LICENCE_TEXT}")
string(REPLACE "\n" "\n " COSMIC_LICENCE_TEXT "${COSMIC_LICENCE_TEXT}")
configure_file(doc/copyright.in ${docs}/copyright @ONLY)

install(FILES ${docs}/cosmic-distances.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${docs}/copyright ${docs}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
# A stripped install (cpack, cmake --install --strip) also drops .comment,
# the toolchain's version strings, as Debian does for packaged binaries.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/cosmic-distances\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")

# Last of the install rules: a prefix install leaves
# <prefix>/share/cosmic-distances/uninstall.sh, which removes what it put
# there. It is a component of its own that the package leaves out: there,
# the package manager removes what it installed.
install(CODE "set(COSMIC_UNINSTALL_DIR \"${CMAKE_INSTALL_DATADIR}/${PROJECT_NAME}\")" COMPONENT uninstaller)
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/Uninstaller.cmake COMPONENT uninstaller)

set(CPACK_GENERATOR DEB)
# The program's files only (the default component), without the uninstaller;
# the name and version are the project's, the priority optional: cpack's defaults.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
set(CPACK_PACKAGE_CONTACT "${COSMIC_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "distances to the stars and planets in km and light time")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "A menu-driven terminal program that tells how far 24 bright or near\n"
       "stars and the planets are, in light years, kilometres and the time\n"
       "light needs, and converts between kilometres and light-travel time.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Depends comes from the libraries the binary really links, as
# dpkg-shlibdeps (dpkg-dev) finds them; cpack refuses to run without it
# rather than build a package that depends on nothing.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackChecks.cmake)
# A cross build's triplet (cmake/cross.cmake), for CPackChecks.cmake.
set(CPACK_COSMIC_CROSS_TRIPLET "${COSMIC_CROSS_TRIPLET}")
set(CPACK_STRIP_FILES ON)
# Directories as Debian wants them, whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
include(CPack)
