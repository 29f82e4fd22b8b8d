# What a Debian package built with hardening=+all gets, for every build that
# may be installed or packaged: the stack protector and stack-clash probes,
# checked libc calls (_FORTIFY_SOURCE), format-string warnings, a
# position-independent executable and full RELRO (relocations read-only,
# symbols bound at start-up). Control-flow protection exists on x86 alone,
# so it follows the processor the build is for, not the one it runs on.
#
# Sanitizer builds go without: the sanitizers check more, and fortified libc
# calls would bypass their interceptors.
# WebAssembly has none of these: its memory safety is the sandbox's.
if(NOT COSMIC_HARDEN OR COSMIC_SANITIZE OR EMSCRIPTEN)
  return()
endif()

# -fPIE, not the -fPIC that POSITION_INDEPENDENT_CODE gives static
# libraries: the program's units are linked into the executable alone, and
# -fPIC would cost them inlining.
add_compile_options(-fPIE -fstack-protector-strong -Wformat -Werror=format-security -Wdate-time)
# Windows probes every page of a large stack frame itself (__chkstk); GCC's
# own probes there are redundant and break its unwind tables (an internal
# compiler error in g++ 12).
if(NOT WIN32)
  add_compile_options(-fstack-clash-protection)
endif()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
  add_compile_options(-fcf-protection)
endif()
# The checked calls need the optimiser: at -O0 the C library warns instead,
# which the developers' builds make an error. A compiler that defines the macro itself would
# see it redefined, so it is undefined first.
add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
# PIE and RELRO are ELF's; a Windows executable gets its address-space
# randomisation and non-executable data from the linker's defaults
# (--dynamicbase, --nxcompat). There the stack protector's checks live in
# GCC's libssp, which the driver links when the option is on its line.
if(WIN32)
  add_link_options(-fstack-protector-strong)
else()
  add_link_options(-pie LINKER:-z,relro LINKER:-z,now)
endif()
