# SPDX-License-Identifier: MIT
# Install rules and, with the windows built, three Debian packages from one
# build: quenrow-data (the tables, architecture all), quenrow-lookup (the
# command line, no Qt) and quenrow (the windows, needing both).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(QUENROW_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QUENROW_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc)
set(QUENROW_MAN_DIR ${CMAKE_INSTALL_MANDIR}/man1)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)

# Each package's copyright file and compressed changelog under /usr/share/doc.
add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND gzip -9n -c ${QUENROW_PACKAGING_DIR}/changelog > ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DEPENDS ${QUENROW_PACKAGING_DIR}/changelog
    VERBATIM)
set(QUENROW_PACKAGE_DOCS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)

function(quenrow_package_docs component package licence)
    set(QUENROW_PROGRAM_LICENCE "${licence}")
    configure_file(${QUENROW_PACKAGING_DIR}/copyright.in
                   ${PROJECT_BINARY_DIR}/packaging/${package}/copyright @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/${package}/copyright
                  ${PROJECT_BINARY_DIR}/packaging/changelog.gz
            DESTINATION ${QUENROW_DOC_DIR}/${package} COMPONENT ${component})
endfunction()

# The tables; their sources note is documentation.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/quenrow-data DESTINATION ${CMAKE_INSTALL_DATADIR}/quenrow
        COMPONENT data PATTERN SOURCES.md EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/quenrow-data/SOURCES.md
        DESTINATION ${QUENROW_DOC_DIR}/quenrow-data COMPONENT data)
quenrow_package_docs(data quenrow-data "")

# Manual pages from each program's --help (help2man runs them, so no display:
# quenrow answers --help before it starts Qt).
find_program(HELP2MAN help2man)
function(quenrow_manual_page target component summary)
    if(NOT HELP2MAN)
        message(STATUS "help2man not found: no manual page for ${target}")
        return()
    endif()
    set(page ${PROJECT_BINARY_DIR}/packaging/${target}.1)
    add_custom_command(
        OUTPUT ${page}.gz
        COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1 --name=${summary}
                --include=${QUENROW_PACKAGING_DIR}/${target}.h2m --output=${page}
                $<TARGET_FILE:${target}>
        COMMAND sed -i -f ${QUENROW_PACKAGING_DIR}/examples.sed ${page}
        COMMAND gzip -9nf ${page}
        DEPENDS ${target} ${QUENROW_PACKAGING_DIR}/${target}.h2m ${QUENROW_PACKAGING_DIR}/examples.sed
        VERBATIM)
    add_custom_target(${target}_manual_page ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${QUENROW_MAN_DIR} COMPONENT ${component})
endfunction()

# A stripped install (the packages') also drops the compilers' .comment
# notes, as Debian's own packages do.
function(quenrow_install_program target component)
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${target}\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()" COMPONENT ${component})
endfunction()

quenrow_install_program(quenrow-lookup lookup)
install(FILES ${QUENROW_PACKAGING_DIR}/quenrow-lookup.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME quenrow-lookup COMPONENT lookup)
quenrow_manual_page(quenrow-lookup lookup "look up proton stopping powers and ranges in the NIST tables")
quenrow_package_docs(lookup quenrow-lookup "")
add_custom_target(quenrow_package_docs ALL DEPENDS ${QUENROW_PACKAGE_DOCS})

if(NOT QUENROW_GUI)
    return()
endif()

# The program finds the installed data from any working directory.
configure_file(${QUENROW_PACKAGING_DIR}/quenrow.desktop.in quenrow.desktop @ONLY)
quenrow_install_program(quenrow gui)
install(FILES ${PROJECT_BINARY_DIR}/quenrow.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT gui)
install(FILES ${QUENROW_PACKAGING_DIR}/quenrow.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME invalid.quenrow.Quenrow.metainfo.xml
        COMPONENT gui)
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/quenrow.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT gui)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/quenrow-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME quenrow.png COMPONENT gui)
endforeach()
quenrow_manual_page(quenrow gui "look up and plot proton stopping powers and ranges from the NIST tables")
set(QUENROW_GPL [=[
License: GPL-3+
 This program is free software: you can redistribute it and/or modify it
 under the terms of the GNU General Public License as published by the Free
 Software Foundation, either version 3 of the License, or (at your option)
 any later version.
 .
 This program is distributed in the hope that it will be useful, but WITHOUT
 ANY WARRANTY; without even the implied warranty of MERCHANTABILITY or
 FITNESS FOR A PARTICULAR PURPOSE. See the GNU General Public License for
 more details.
 .
 On Debian systems, the complete text of the GNU General Public License
 version 3 can be found in "/usr/share/common-licenses/GPL-3".
Comment: The quenrow program as built links QCustomPlot (GPL-3+), so the
 binary in this package is distributed under the GNU General Public License,
 version 3 or later. Quenrow's own sources keep the Expat (MIT) licence.]=])
# The bracket drops its first newline: the licence starts a line of its own.
quenrow_package_docs(gui quenrow "\n${QUENROW_GPL}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenrow)
set(CPACK_PACKAGE_VENDOR "Quenrow")
set(CPACK_PACKAGE_CONTACT "Quenrow developers <dev@quenrow.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL data lookup gui)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SOURCE quenrow)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_DATA_PACKAGE_NAME quenrow-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DATA_DESCRIPTION [=[NIST proton stopping-power and range tables for Quenrow
The 74 materials of the NIST proton tables (PSTAR, report NISTIR 4999): 26
elements and 48 compounds and mixtures, each with 132 energies from 1 keV to
10 GeV and the electronic, nuclear and total stopping power, the CSDA and
projected range and the detour factor, as NIST publishes them, with each
material's density.

The tables are read by quenrow and quenrow-lookup from
/usr/share/quenrow/quenrow-data; SOURCES.md in this package's documentation
says where each number comes from.]=])

set(CPACK_DEBIAN_LOOKUP_PACKAGE_NAME quenrow-lookup)
set(CPACK_DEBIAN_LOOKUP_PACKAGE_DEPENDS "quenrow-data (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_LOOKUP_DESCRIPTION [=[proton stopping powers and ranges from the NIST tables, for scripts
quenrow-lookup answers from the NIST proton tables (PSTAR) on the command
line: the electronic, nuclear and total stopping power, the CSDA and
projected range and the detour factor at any energy, log-log interpolated
between the table's rows, or the energy that has a given range. Mass or
linear units, the ratio to liquid water, and text, CSV, TSV or JSON output
that reads back as the same numbers. Energies come from the command line or
from standard input.

It gives the same answers as the Quenrow windows and does not need Qt or a
display.]=])

set(CPACK_DEBIAN_GUI_PACKAGE_NAME quenrow)
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS
    "quenrow-data (= ${PROJECT_VERSION}), quenrow-lookup (= ${PROJECT_VERSION}), fonts-ipafont-gothic, fonts-liberation")
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_GUI_DESCRIPTION [=[look up and plot proton stopping powers and ranges (NIST tables)
Quenrow shows the NIST proton tables (PSTAR, report NISTIR 4999) for 74
elements, compounds and mixtures: pick a material, read its 132-row table,
see the electronic, nuclear and total stopping-power curves on a log-log
plot and read the table row under the pointer, type an energy for the
interpolated stopping power, or use the calculator for every column at any
energy and for the energy that has a given range.

The table can be copied or saved as CSV, the plot as SVG, PDF or PNG.
Started from the menu or from any folder, it reads the tables of the
quenrow-data package; quenrow FILE opens a material file directly.]=])
include(CPack)
