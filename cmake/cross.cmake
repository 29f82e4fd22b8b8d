# Cross build for a Debian processor with Debian's cross compilers, for the
# triplet COSMIC_CROSS_TRIPLET (the presets named after a triplet set it):
#   cmake --workflow --preset aarch64-linux-gnu        (.ci/cross.sh does this)
# Tests run under qemu-user, or, for 32-bit x86, directly on an x86-64
# kernel through the target's own dynamic loader.
if(NOT COSMIC_CROSS_TRIPLET)
  message(FATAL_ERROR "set COSMIC_CROSS_TRIPLET, e.g. aarch64-linux-gnu")
endif()
# The compiler checks configure a project of their own: pass the triplet on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES COSMIC_CROSS_TRIPLET)

set(cosmic_sysroot /usr/${COSMIC_CROSS_TRIPLET})
string(REGEX MATCH "^[^-]+" cosmic_cpu "${COSMIC_CROSS_TRIPLET}")
# qemu names the 64-bit little-endian PowerPC ppc64le, and 32-bit Arm arm.
set(cosmic_qemu_cpu ${cosmic_cpu})
if(cosmic_cpu STREQUAL "powerpc64le")
  set(cosmic_qemu_cpu ppc64le)
endif()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${cosmic_cpu})
set(CMAKE_C_COMPILER ${COSMIC_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${COSMIC_CROSS_TRIPLET}-g++)
set(CMAKE_FIND_ROOT_PATH ${cosmic_sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# How the build's programs run here, cached for .ci/cross.sh to read.
set(cosmic_loader ${cosmic_sysroot}/lib/ld-linux.so.2)
set(cosmic_emulator qemu-${cosmic_qemu_cpu};-L;${cosmic_sysroot})
if(cosmic_cpu MATCHES "^i[3-6]86$")
  set(cosmic_emulator qemu-i386;-L;${cosmic_sysroot})
  # An x86-64 kernel runs 32-bit programs itself, through their own loader;
  # one built without 32-bit support needs the emulator.
  execute_process(COMMAND ${cosmic_loader} --version RESULT_VARIABLE cosmic_no_ia32 OUTPUT_QUIET ERROR_QUIET)
  if(cosmic_no_ia32 EQUAL 0)
    set(cosmic_emulator ${cosmic_loader};--library-path;${cosmic_sysroot}/lib)
  endif()
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR "${cosmic_emulator}" CACHE STRING "How the build's programs run here" FORCE)
