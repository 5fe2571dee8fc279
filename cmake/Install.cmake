# Installation and packages. `cmake --install` lays the programs and their
# files out in the usual Linux places; cpack makes a .deb (dependencies taken
# from the binaries themselves) and a relocatable .tar.gz of the same tree.
# The files that are not CMake live under packaging/.

include(GNUInstallDirs)

set(QUILLON_HOMEPAGE "https://quillon.example.org/" CACHE STRING "Project homepage shown by the packages")
set(QUILLON_MAINTAINER "The Quillon developers <quillon@example.org>"
    CACHE STRING "Package maintainer, \"Name <address>\"")
set(QUILLON_APP_ID "org.example.quillon")

set(QUILLON_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QUILLON_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)
set(QUILLON_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillon)

# Directories the install creates (usr/share/..., the doc folder) must not
# depend on the umask of whoever builds the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# --- programs ---------------------------------------------------------------------
install(TARGETS quillon-cli quillon-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quillon)
  install(TARGETS quillon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# --- chip definitions, control programs, key file, example hex files ------------
# Named one by one rather than the whole examples/ folder: running the programs
# with --program-dir examples leaves settings and result files there, and those
# must never end up in a package.
install(FILES
  ${PROJECT_SOURCE_DIR}/examples/CHIPDEF.INI
  ${PROJECT_SOURCE_DIR}/examples/tc326.key
  DESTINATION ${CMAKE_INSTALL_DATADIR}/quillon)
# The README that goes with the per-user copy speaks of the installed
# programs; examples/README.md speaks of a build tree.
install(FILES ${QUILLON_PACKAGING_DIR}/linux/program-folder-README.md
  DESTINATION ${CMAKE_INSTALL_DATADIR}/quillon RENAME README.md)
install(DIRECTORY
  ${PROJECT_SOURCE_DIR}/examples/ctrl
  ${PROJECT_SOURCE_DIR}/examples/hex
  DESTINATION ${CMAKE_INSTALL_DATADIR}/quillon)

# --- compressed documents -----------------------------------------------------
# Man pages and the changelog go in gzipped, without a time stamp (-n) so that
# the same sources give the same package.
find_program(QUILLON_GZIP gzip)
set(QUILLON_COMPRESSED_DOCS)

# quillon_doc(SOURCE DESTINATION): installs SOURCE, gzipped when gzip exists.
function(quillon_doc source destination)
  get_filename_component(name ${source} NAME)
  if(NOT QUILLON_GZIP)
    install(FILES ${source} DESTINATION ${destination})
    return()
  endif()
  set(plain ${QUILLON_PACKAGING_OUT}/gz/${name})
  add_custom_command(
    OUTPUT ${plain}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND ${QUILLON_GZIP} -9nf ${plain}
    DEPENDS ${source}
    VERBATIM)
  install(FILES ${plain}.gz DESTINATION ${destination})
  set(QUILLON_COMPRESSED_DOCS ${QUILLON_COMPRESSED_DOCS} ${plain}.gz PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${QUILLON_PACKAGING_OUT}/gz)
quillon_doc(${QUILLON_PACKAGING_DIR}/man/quillon-cli.1 ${CMAKE_INSTALL_MANDIR}/man1)
quillon_doc(${QUILLON_PACKAGING_DIR}/man/quillon-sim.1 ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET quillon)
  quillon_doc(${QUILLON_PACKAGING_DIR}/man/quillon.1 ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The package's own changelog, so that its version always matches the build.
set(QUILLON_DEB_VERSION ${PROJECT_VERSION})
configure_file(${QUILLON_PACKAGING_DIR}/debian/changelog.in
               ${QUILLON_PACKAGING_OUT}/changelog @ONLY)
quillon_doc(${QUILLON_PACKAGING_OUT}/changelog ${QUILLON_DOC_DIR})
install(FILES
  ${QUILLON_PACKAGING_DIR}/debian/copyright
  ${QUILLON_PACKAGING_DIR}/README.Debian
  DESTINATION ${QUILLON_DOC_DIR})

# The user manual, with the pictures it shares with the README beside it
# (the pages name them as ../images/).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual ${PROJECT_SOURCE_DIR}/docs/images
        DESTINATION ${QUILLON_DOC_DIR})

# --- shell completion ---------------------------------------------------------------
# bash loads a command's completion from a file of the command's name; zsh's
# asks bash for the same candidates through that file.
set(QUILLON_BASH_COMPLETION_DIR ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
foreach(prog quillon-cli quillon-sim)
  install(FILES ${QUILLON_PACKAGING_DIR}/completion/quillon.bash
          DESTINATION ${QUILLON_BASH_COMPLETION_DIR} RENAME ${prog})
endforeach()
set(QUILLON_BASH_COMPLETION ${CMAKE_INSTALL_FULL_DATADIR}/bash-completion/completions/quillon-cli)
configure_file(${QUILLON_PACKAGING_DIR}/completion/_quillon.zsh.in
               ${QUILLON_PACKAGING_OUT}/_quillon-cli @ONLY)
install(FILES ${QUILLON_PACKAGING_OUT}/_quillon-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)

if(QUILLON_COMPRESSED_DOCS)
  add_custom_target(quillon-compressed-docs ALL DEPENDS ${QUILLON_COMPRESSED_DOCS})
endif()

# --- desktop integration (only with the desktop program) -------------------------
if(TARGET quillon)
  install(FILES ${QUILLON_PACKAGING_DIR}/linux/quillon.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

  configure_file(${QUILLON_PACKAGING_DIR}/linux/${QUILLON_APP_ID}.metainfo.xml.in
                 ${QUILLON_PACKAGING_OUT}/${QUILLON_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${QUILLON_PACKAGING_OUT}/${QUILLON_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # Every size of the icon that res/ has, res/quillon-N.png -> hicolor/NxN.
  file(GLOB icons ${PROJECT_SOURCE_DIR}/res/quillon-*.png)
  foreach(icon IN LISTS icons)
    if(icon MATCHES "quillon-([0-9]+)\\.png$")
      set(size ${CMAKE_MATCH_1})
      install(FILES ${icon}
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
              RENAME quillon.png)
    endif()
  endforeach()
endif()

# --- packages -------------------------------------------------------------------
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VENDOR "The Quillon developers")
set(CPACK_PACKAGE_CONTACT ${QUILLON_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL ${QUILLON_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flash programmer for microcontrollers with a serial boot ROM")
set(CPACK_PACKAGE_DESCRIPTION
"Quillon programs the on-chip flash of microcontrollers over a serial port.
With the chip in its serial boot mode, it downloads a small control program
into the chip's RAM through the boot ROM, then erases, blank-checks, programs
and verifies the flash from a Motorola S-record or Intel HEX file, reads it
back and compares, reads it out into a new hex file and computes a checksum.

The package holds the Qt desktop program (quillon), the command-line
programmer for scripts and production lines (quillon-cli), a virtual target
on a pseudo-terminal for trying it without hardware (quillon-sim), and the
chip definitions, control programs and example hex files.")
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_SOURCE_GENERATOR "")
# Packages carry stripped programs; the build tree keeps the symbols.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME "quillon-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")

set(CPACK_DEBIAN_PACKAGE_NAME quillon)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUILLON_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLON_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
if(TARGET quillon)
  # Qt's window-system plugins are only a recommendation of its GUI library;
  # without them the desktop program cannot open a window.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins")
endif()

include(CPack)
