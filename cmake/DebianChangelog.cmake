# A Debian changelog made from a "Keep a Changelog" file, so that the package
# ships the history the repository keeps and nobody maintains it twice.
#
#   cosmic_debian_changelog(<markdown text> <package> <version> <maintainer>
#                           <result var> <error var>)
#
# Each release heading "## [X.Y.Z] - YYYY-MM-DD" opens an entry, in the
# file's order (newest first, as Debian wants too); "### Added" and the like
# become "  * Added:" with the list items under them, continuation lines
# kept under their item. The title, the text before the first release, the
# Unreleased section, blank lines and link references are left out; any
# other line of a release is kept, indented. Each entry is signed by
# <maintainer> at midnight UTC of its date.
#
# Sets <error var> (and leaves <result var> empty) when there is no release
# or the newest is not <version>: a package must not ship a history that
# disagrees with its own version.

find_program(COSMIC_DATE date REQUIRED)

# "Tue, 08 Dec 2026 00:00:00 +0000" for 2026-12-08, by coreutils' date.
function(_cosmic_rfc2822_midnight day result)
  execute_process(COMMAND ${COSMIC_DATE} -u -R -d ${day} OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  set(${result} "${date}" PARENT_SCOPE)
endfunction()

# One line of a release, as the Debian entry writes it (empty: left out).
function(_cosmic_changelog_body_line line result)
  set(out "")
  if(line MATCHES "^### +(.+)$")
    set(out "  * ${CMAKE_MATCH_1}:\n")
  elseif(line MATCHES "^[-*] +(.+)$")
    set(out "    - ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^ +([^ ].*)$")
    set(out "      ${CMAKE_MATCH_1}\n")
  elseif(NOT line STREQUAL "" AND NOT line MATCHES "^\\[[^]]+\\]: ")
    set(out "  ${line}\n")
  endif()
  set(${result} "${out}" PARENT_SCOPE)
endfunction()

function(cosmic_debian_changelog markdown package version maintainer result error)
  set(out "")
  set(trailer "")
  set(newest "")
  set(inside FALSE)
  set(rest "${markdown}\n")
  string(FIND "${rest}" "\n" end)
  while(end GREATER_EQUAL 0)
    string(SUBSTRING "${rest}" 0 ${end} line)
    math(EXPR end "${end} + 1")
    string(SUBSTRING "${rest}" ${end} -1 rest)
    string(FIND "${rest}" "\n" end)
    if(line MATCHES "^## ")
      string(APPEND out "${trailer}")
      set(trailer "")
      set(inside FALSE)
    endif()
    if(line MATCHES "^## \\[([^]]+)\\] - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]) *$")
      if(newest STREQUAL "")
        set(newest "${CMAKE_MATCH_1}")
      endif()
      string(APPEND out "${package} (${CMAKE_MATCH_1}) unstable; urgency=medium\n\n")
      _cosmic_rfc2822_midnight(${CMAKE_MATCH_2} date)
      set(trailer "\n -- ${maintainer}  ${date}\n")
      set(inside TRUE)
    elseif(inside)
      _cosmic_changelog_body_line("${line}" body)
      string(APPEND out "${body}")
    endif()
  endwhile()
  string(APPEND out "${trailer}")
  # Entries are separated by one blank line.
  string(REPLACE "\n${package} (" "\n\n${package} (" out "${out}")

  set(${error} "" PARENT_SCOPE)
  if(newest STREQUAL "")
    set(out "")
    set(${error} "no release heading \"## [X.Y.Z] - YYYY-MM-DD\" in the changelog" PARENT_SCOPE)
  elseif(NOT newest STREQUAL version)
    set(out "")
    set(${error} "the newest release in the changelog is ${newest}, not ${version}" PARENT_SCOPE)
  endif()
  set(${result} "${out}" PARENT_SCOPE)
endfunction()
