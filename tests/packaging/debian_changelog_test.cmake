# The Debian changelog made from a "Keep a Changelog" file:
#   cmake -P debian_changelog_test.cmake
# Every case runs; the script fails at the end if any did.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/DebianChangelog.cmake)

set(failures 0)
function(expect_equal name actual expected)
  if(NOT actual STREQUAL expected)
    message("FAILED: ${name}\n--- expected\n[${expected}]\n--- actual\n[${actual}]")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

set(maintainer "A Maintainer <a@example.org>")

# Two releases between an Unreleased section and link references: headings,
# items with continuation lines and a line of prose are kept; the rest goes.
string(CONCAT markdown
       "# Changelog\n\nIntroductory text.\n\n"
       "## [Unreleased]\n\n### Added\n\n- not yet released\n\n"
       "## [1.1.0] - 2027-03-01\n\n"
       "Prose about the release.\n\n"
       "### Fixed\n\n- a fix whose description\n  goes on\n\n"
       "### Changed\n\n* a change\n\n"
       "## [1.0.0] - 2026-12-08\n\n### Added\n\n- the first release\n\n"
       "[Unreleased]: https://example.org/compare/1.1.0...HEAD\n"
       "[1.0.0]: https://example.org/1.0.0\n")
string(CONCAT expected
       "pkg (1.1.0) unstable; urgency=medium\n\n"
       "  Prose about the release.\n"
       "  * Fixed:\n"
       "    - a fix whose description\n"
       "      goes on\n"
       "  * Changed:\n"
       "    - a change\n\n"
       " -- A Maintainer <a@example.org>  Mon, 01 Mar 2027 00:00:00 +0000\n\n"
       "pkg (1.0.0) unstable; urgency=medium\n\n"
       "  * Added:\n"
       "    - the first release\n\n"
       " -- A Maintainer <a@example.org>  Tue, 08 Dec 2026 00:00:00 +0000\n")
cosmic_debian_changelog("${markdown}" pkg 1.1.0 "${maintainer}" changelog error)
expect_equal("two releases: changelog" "${changelog}" "${expected}")
expect_equal("two releases: no error" "${error}" "")

# The file may end without a newline.
cosmic_debian_changelog("## [2.0.0] - 2026-12-08\n- last line" pkg 2.0.0 "${maintainer}" changelog error)
expect_equal("no final newline" "${changelog}"
             "pkg (2.0.0) unstable; urgency=medium\n\n    - last line\n\n -- ${maintainer}  Tue, 08 Dec 2026 00:00:00 +0000\n")

# Signature dates, the weekdays from the calendar: every month's name, the
# turn of the year, leap days and a century that is not a leap year; at
# midnight UTC whatever the local zone (here 14 hours ahead).
set(ENV{TZ} UTC-14)
set(dates
    2026-01-10 "Sat, 10 Jan 2026" 2026-02-10 "Tue, 10 Feb 2026" 2026-03-10 "Tue, 10 Mar 2026"
    2026-04-10 "Fri, 10 Apr 2026" 2026-05-10 "Sun, 10 May 2026" 2026-06-10 "Wed, 10 Jun 2026"
    2026-07-10 "Fri, 10 Jul 2026" 2026-08-10 "Mon, 10 Aug 2026" 2026-09-10 "Thu, 10 Sep 2026"
    2026-10-10 "Sat, 10 Oct 2026" 2026-11-10 "Tue, 10 Nov 2026" 2026-12-10 "Thu, 10 Dec 2026"
    1999-12-31 "Fri, 31 Dec 1999" 2000-01-01 "Sat, 01 Jan 2000" 2000-02-29 "Tue, 29 Feb 2000"
    2000-03-01 "Wed, 01 Mar 2000" 2100-02-28 "Sun, 28 Feb 2100" 2100-03-01 "Mon, 01 Mar 2100")
while(dates)
  list(POP_FRONT dates date expected_date)
  cosmic_debian_changelog("## [1.0.0] - ${date}\n- x\n" pkg 1.0.0 "${maintainer}" changelog error)
  string(REGEX MATCH "  [A-Z][a-z][a-z], [0-9]+ [A-Z][a-z][a-z] [0-9]+ [^\n]*" signed "${changelog}")
  expect_equal("signature date of ${date}" "${signed}" "  ${expected_date} 00:00:00 +0000")
endwhile()

# Complaints: the package's version must be the newest release's, and there
# must be a release at all. Nothing is written then.
cosmic_debian_changelog("${markdown}" pkg 1.0.0 "${maintainer}" changelog error)
expect_equal("an older release's version: error" "${error}"
             "the newest release in the changelog is 1.1.0, not 1.0.0")
expect_equal("an older release's version: nothing written" "${changelog}" "")
cosmic_debian_changelog("${markdown}" pkg 1.2.0 "${maintainer}" changelog error)
expect_equal("a version not released: error" "${error}"
             "the newest release in the changelog is 1.1.0, not 1.2.0")
set(no_release_error "no release heading \"## [X.Y.Z] - YYYY-MM-DD\" in the changelog")
cosmic_debian_changelog("# Changelog\n\n## [Unreleased]\n\n- soon\n" pkg 1.0.0 "${maintainer}" changelog error)
expect_equal("only Unreleased: error" "${error}" "${no_release_error}")
expect_equal("only Unreleased: nothing written" "${changelog}" "")
# A release heading without its date is not a release.
cosmic_debian_changelog("## [1.0.0]\n- x\n" pkg 1.0.0 "${maintainer}" changelog error)
expect_equal("a heading without a date: error" "${error}" "${no_release_error}")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
message("Debian changelog: every case passed")
