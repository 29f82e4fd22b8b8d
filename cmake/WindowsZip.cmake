# The Windows release: cpack --config <build>/CPackConfig.cmake makes
# cosmic-distances-<version>-win64.zip, one folder holding the program, the
# licence and a short text on starting it and ending its input. The texts
# get Windows' CR LF line ends, so that any editor there shows them right.
function(cosmic_crlf_text source destination)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
endfunction()

set(docs ${PROJECT_BINARY_DIR}/doc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS LICENSE doc/windows-readme.txt.in)
configure_file(doc/windows-readme.txt.in ${docs}/windows-readme.txt @ONLY)
cosmic_crlf_text(${docs}/windows-readme.txt ${docs}/README.txt)
cosmic_crlf_text(LICENSE ${docs}/LICENSE.txt)
install(FILES ${docs}/README.txt ${docs}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
