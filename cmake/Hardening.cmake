# SPDX-License-Identifier: GPL-3.0-or-later
# Hardening of the optimised builds (Release, RelWithDebInfo, MinSizeRel, and
# so the Debian package): fortified libc calls, stack protector and stack
# clash protection, control-flow protection where the target has it,
# position-independent executables, and a read-only GOT
# bound at start (RELRO, BIND_NOW). The sanitizer and fuzzing builds keep
# their own instrumentation instead. scripts/check-package checks the
# installed programs with hardening-check.
option(QUELVO_HARDEN "Harden the optimised builds" ON)
if(NOT QUELVO_HARDEN OR QUELVO_SANITIZE OR QUELVO_FUZZ)
  return()
endif()

include(CheckCXXCompilerFlag)
include(CheckPIESupported)

set(optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
# _FORTIFY_SOURCE needs optimisation; a toolchain that predefines another
# level gets this one without a redefinition warning.
add_compile_options("$<${optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>"
                    "$<${optimised}:-fstack-protector-strong>")
check_cxx_compiler_flag(-fstack-clash-protection QUELVO_HAVE_STACK_CLASH)
if(QUELVO_HAVE_STACK_CLASH)
  add_compile_options("$<${optimised}:-fstack-clash-protection>")
endif()
check_cxx_compiler_flag(-fcf-protection QUELVO_HAVE_CF_PROTECTION)
if(QUELVO_HAVE_CF_PROTECTION)
  add_compile_options("$<${optimised}:-fcf-protection>")
endif()
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_link_options("$<${optimised}:LINKER:-z,relro,-z,now>")
