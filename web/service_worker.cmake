# Writes the site's service worker, service_worker.js, from
# service_worker.js.in: the list of every other file in the site's folder,
# sorted, each with its SHA-256 digest, and a cache name made from their
# names and contents. The same files give the same bytes wherever they are
# built; a file changed, added or removed gives a new name, and so a new
# worker that replaces the old files.
#
#   cmake -DSITE=build-wasm/site -P web/service_worker.cmake
if(NOT IS_DIRECTORY "${SITE}")
  message(FATAL_ERROR "service_worker.cmake: -DSITE= must name the site's folder")
endif()
get_filename_component(SITE "${SITE}" ABSOLUTE)
set(worker service_worker.js)

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SITE}" "${SITE}/*")
list(REMOVE_ITEM files ${worker})
list(SORT files)

set(index "")
set(site_files "")
foreach(file IN LISTS files)
  # Written into a JavaScript string as they are, so only plain names.
  if(NOT file MATCHES "^[A-Za-z0-9._/-]+$")
    message(FATAL_ERROR "service_worker.cmake: a site file needs a plain name: '${file}'")
  endif()
  file(SHA256 "${SITE}/${file}" digest)
  string(APPEND index "${digest} ${file}\n")
  string(APPEND site_files "  ['${file}', '${digest}'],\n")
endforeach()
string(SHA256 digest "${index}")
string(SUBSTRING "${digest}" 0 16 digest)
set(cache_name "cosmic-distances-${digest}")
string(REGEX REPLACE "\n$" "" site_files "${site_files}")

# Rewritten only when its text changes, so an unchanged site stays as it was.
configure_file("${CMAKE_CURRENT_LIST_DIR}/service_worker.js.in" "${SITE}/${worker}" @ONLY)
