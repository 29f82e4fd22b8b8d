# The session tests and the README check against the WebAssembly program
# under Node: the harness (fork, pipes, rlimits) is built for this machine
# in build-wasm/node-sessions/ with the host's compiler and GoogleTest, told
# to start `node cosmic-distances.js`, and its tests join this build's.
include(ExternalProject)

# Sessions whose outcome Node itself decides, so they cannot pass there:
# - ClosedPipeWithSigpipeAtItsDefaultEndsBySigpipe: Node ignores SIGPIPE
#   for its whole process, so a write to a closed pipe fails with EPIPE and
#   the program reports "write error: Broken pipe" with status 1 (as the
#   test with SIGPIPE ignored expects) instead of being ended by the signal.
#   AnswerToAClosedPipeEndsBySigpipe is the same case for --version.
set(cosmic_not_under_node WriteError.ClosedPipeWithSigpipeAtItsDefaultEndsBySigpipe
                          CommandLineSession.AnswerToAClosedPipeEndsBySigpipe)
string(REPLACE ";" ":" cosmic_node_filter "-${cosmic_not_under_node}")

set(cosmic_sessions_dir ${CMAKE_BINARY_DIR}/node-sessions)
ExternalProject_Add(node_sessions
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${cosmic_sessions_dir}
  PREFIX ${CMAKE_BINARY_DIR}/node-sessions-stamps
  LIST_SEPARATOR |
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCOSMIC_HARDEN=OFF -DCOSMIC_BUILD_TESTS=ON
             -DCOSMIC_PROGRAM_COMMAND=${CMAKE_CROSSCOMPILING_EMULATOR}|$<TARGET_FILE:cosmic-distances>
             -DCOSMIC_SESSION_FILTER=${cosmic_node_filter}
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${cosmic_sessions_dir} --target session_tests
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  DEPENDS cosmic-distances)

# CTest reads the harness build's tests as a subdirectory of this one.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/node_sessions_tests.cmake
     "if(EXISTS \"${cosmic_sessions_dir}/CTestTestfile.cmake\")\n"
     "  subdirs(\"${cosmic_sessions_dir}\")\n"
     "endif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/node_sessions_tests.cmake)
