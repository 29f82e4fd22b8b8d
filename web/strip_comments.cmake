# Copies one of the page's files into the site without its comments, which
# are for whoever reads the source, not for the network: in an ES module its
# lines that are comments alone (no module has a multi-line template literal
# that such a line could belong to), in HTML and CSS every comment. The code
# is left as it is. Any other file is copied unchanged.
#
#   cmake -DIN=web/main.mjs -DOUT=build-wasm/site/main.mjs -P web/strip_comments.cmake
get_filename_component(type "${IN}" LAST_EXT)
if(NOT type MATCHES "^\\.(mjs|html|css)$")
  file(COPY_FILE "${IN}" "${OUT}")
  return()
endif()
file(READ "${IN}" text)
if(type STREQUAL ".mjs")
  string(REGEX REPLACE "\n[ \t]*//[^\n]*" "" text "\n${text}")
  string(SUBSTRING "${text}" 1 -1 text)
elseif(type STREQUAL ".html")
  string(REGEX REPLACE "<!--([^-]|-[^-])*-->\n?" "" text "${text}")
else()
  string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/\n?" "" text "${text}")
endif()
file(WRITE "${OUT}" "${text}")
