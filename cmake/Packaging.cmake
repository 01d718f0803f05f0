# The Debian package (scripts/package runs `cpack -G DEB` in a build configured for it).
set(VIGILSTAT_MAINTAINER "The VigilStat developers <vigilstat@example.org>"
    CACHE STRING "Maintainer named in the package")

# Debian wants a copyright file and a change log beside every package's documents.
set(package_docs ${CMAKE_INSTALL_DATADIR}/doc/vigilstat)
execute_process(COMMAND date -u -R -d "${VIGILSTAT_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE changelog_date OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${CMAKE_BINARY_DIR}/package/changelog
            ${CMAKE_BINARY_DIR}/package/changelog.gz
    DEPENDS ${CMAKE_BINARY_DIR}/package/changelog
    VERBATIM)
add_custom_target(vigilstat_package_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz
        DESTINATION ${package_docs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vigilstat)
set(CPACK_PACKAGE_VENDOR "The VigilStat developers")
set(CPACK_PACKAGE_CONTACT "${VIGILSTAT_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "monitor for a fleet of networked video recorders")
set(CPACK_PACKAGE_DESCRIPTION
    "VigilStat keeps watch over a fleet of up to 3000 Korvo digital video
recorders, reached over the network or a dial-up line. A poll cycle fetches
each unit's status and writes a report, or sets each unit's clock from the
PC's clock. Exceptions such as a unit that stopped recording, a full disk,
a reboot, clock drift, alarms or video loss go to a persistent log that can
be browsed, printed and exported. Cycles start by hand or on a schedule.

The package also holds vigilstat-poll, which runs one cycle from a script,
and korvo-sim, which serves simulated units on loopback addresses.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# pppd dials the units on telephone lines.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ppp)

include(CPack)
