# Run by `cmake --install` after every other file is in place: writes
# <prefix>/<COSMIC_UNINSTALL_DIR>/uninstall.sh, which removes exactly the
# files this install wrote, itself included, then the directories named
# after the project if they are empty. The list is this install's own
# record, copied into the prefix, so no later install elsewhere, nor cpack
# (which writes the package's paths into the build tree's
# install_manifest_Unspecified.txt), can change what it removes. A staged install (DESTDIR) gets none: its files are not yet
# where they will live, and whoever packages them removes them.
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  message(STATUS "Staged install (DESTDIR): no uninstaller")
else()
  get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
  set(script "${prefix}/${COSMIC_UNINSTALL_DIR}/uninstall.sh")
  set(files ${CMAKE_INSTALL_MANIFEST_FILES} "${script}")
  list(REMOVE_DUPLICATES files)
  set(text "#!/bin/sh\n# Removes what `cmake --install` put into its prefix.\nset -e\n")
  set(directories "")
  foreach(file IN LISTS files)
    get_filename_component(file "${file}" ABSOLUTE)
    string(REPLACE "'" "'\\''" quoted "${file}")
    string(APPEND text "rm -f -- '${quoted}'\n")
    get_filename_component(directory "${file}" DIRECTORY)
    get_filename_component(name "${directory}" NAME)
    if(name STREQUAL "cosmic-distances")
      list(APPEND directories "${directory}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES directories)
  foreach(directory IN LISTS directories)
    string(REPLACE "'" "'\\''" quoted "${directory}")
    string(APPEND text "rmdir -- '${quoted}' 2>/dev/null || true\n")
  endforeach()
  string(REPLACE "'" "'\\''" quoted "${prefix}")
  string(APPEND text "echo 'cosmic-distances removed from ${quoted}'\n")
  file(WRITE "${script}" "${text}")
  file(CHMOD "${script}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
       WORLD_READ WORLD_EXECUTE)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${script}")
  message(STATUS "Uninstaller: ${script}")
endif()
