# SPDX-License-Identifier: MIT
# Compiles and links every target with the hardening flags dpkg-buildflags
# gives Debian's own packages: stack protector, _FORTIFY_SOURCE, relro and
# bindnow (PIE is the compiler's default on Debian). Its -g and -O2 are left
# out so that the build type still decides debug information and optimisation.
option(QUENROW_HARDENING "Build with Debian's hardening flags (from dpkg-buildflags)" ON)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(QUENROW_HARDENING AND DPKG_BUILDFLAGS AND NOT QUENROW_SANITIZE AND NOT QUENROW_FUZZ)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env
                    "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-fixfilepath,-fixdebugpath"
                    "DEB_CXXFLAGS_MAINT_STRIP=-g -O2"
                    ${DPKG_BUILDFLAGS} --get ${kind}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
            RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
        endif()
        separate_arguments(flags UNIX_COMMAND "${flags}")
        if(kind STREQUAL "LDFLAGS")
            add_link_options(${flags})
        else()
            add_compile_options(${flags})
        endif()
        set(QUENROW_${kind} "${flags}")
    endforeach()
    message(STATUS "Hardening: ${QUENROW_CPPFLAGS} ${QUENROW_CXXFLAGS} ${QUENROW_LDFLAGS}")
endif()
