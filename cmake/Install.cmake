# Installation under the usual prefix layout, the run-time data the programs
# find relative to themselves, and the Debian package (cpack -G DEB).
#
#   bin/tabulon, bin/tabulon-cli
#   share/tabulon/                 run-time data, read only: the user manual
#                                  (docs/manual/) and everything in
#                                  data/runtime/ (default glyphs, tips, ...)
#   share/applications/tabulon.desktop, share/icons/hicolor/*/apps/tabulon.*,
#   share/mime/packages/tabulon.xml, share/man/man1/*.1.gz,
#   share/bash-completion/completions/tabulon-cli
#
# Settings never live in the install tree: the programs keep them in the
# XDG configuration folder ($XDG_CONFIG_HOME/tabulon).

include(GNUInstallDirs)

# --- Run-time data -----------------------------------------------------------

# Whatever exists is installed; a missing manual or glyph file is not an
# error here, and the programs start without it. The globs are checked again
# at every build, so adding the manual or a data file reconfigures.
set(TABULON_DATA_SOURCES)   # absolute paths
set(TABULON_DATA_ITEMS)     # their names inside share/tabulon
file(GLOB _tabulon_docs LIST_DIRECTORIES true CONFIGURE_DEPENDS
     "${CMAKE_SOURCE_DIR}/docs/*")
if("${CMAKE_SOURCE_DIR}/docs/manual" IN_LIST _tabulon_docs
   AND IS_DIRECTORY "${CMAKE_SOURCE_DIR}/docs/manual")
  list(APPEND TABULON_DATA_SOURCES "${CMAKE_SOURCE_DIR}/docs/manual")
  list(APPEND TABULON_DATA_ITEMS manual)
endif()
file(GLOB _tabulon_runtime LIST_DIRECTORIES true CONFIGURE_DEPENDS
     "${CMAKE_SOURCE_DIR}/data/runtime/*")
list(SORT _tabulon_runtime)
foreach(_item IN LISTS _tabulon_runtime)
  get_filename_component(_name "${_item}" NAME)
  list(APPEND TABULON_DATA_SOURCES "${_item}")
  list(APPEND TABULON_DATA_ITEMS "${_name}")
endforeach()

set(TABULON_INSTALL_DATA "${CMAKE_INSTALL_DATADIR}/tabulon")
foreach(_item IN LISTS TABULON_DATA_SOURCES)
  if(IS_DIRECTORY "${_item}")
    install(DIRECTORY "${_item}" DESTINATION "${TABULON_INSTALL_DATA}")
  else()
    install(FILES "${_item}" DESTINATION "${TABULON_INSTALL_DATA}")
  endif()
endforeach()

# The programs find the data folder from their own location, so the data
# folder is built in relative to the binary folder: an installed tree keeps
# working when it is moved. (An absolute CMAKE_INSTALL_DATADIR or BINDIR
# gives an absolute path, which does not move.)
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_DATADIR}")
  set(TABULON_DATA_RELATIVE "${CMAKE_INSTALL_FULL_DATADIR}/tabulon")
else()
  file(RELATIVE_PATH TABULON_DATA_RELATIVE "/prefix/${CMAKE_INSTALL_BINDIR}"
       "/prefix/${TABULON_INSTALL_DATA}")
endif()

# A build tree has no installed layout: stage the data as links in
# share/tabulon beside the programs, where DataDirectory() looks second.
set(_staged "${CMAKE_BINARY_DIR}/share/tabulon")
file(REMOVE_RECURSE "${CMAKE_BINARY_DIR}/share")
file(MAKE_DIRECTORY "${_staged}")
foreach(_item IN LISTS TABULON_DATA_SOURCES)
  get_filename_component(_name "${_item}" NAME)
  file(CREATE_LINK "${_item}" "${_staged}/${_name}" SYMBOLIC COPY_ON_ERROR)
endforeach()
# The window icon is looked for beside the data, as in an installed tree.
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/share/icons")
file(CREATE_LINK "${CMAKE_SOURCE_DIR}/data/icons/hicolor" "${CMAKE_BINARY_DIR}/share/icons/hicolor"
     SYMBOLIC COPY_ON_ERROR)

# The windowed program checks at start that what this build installs is there.
list(JOIN TABULON_DATA_ITEMS ":" _items_define)
if(TARGET tabulon)
  target_compile_definitions(tabulon PRIVATE
    TABULON_DATA_RELATIVE="${TABULON_DATA_RELATIVE}"
    TABULON_DATA_ITEMS="${_items_define}")
endif()

# --- Programs, desktop integration, manual pages, completion ----------------

set(_data "${CMAKE_SOURCE_DIR}/data")

install(TARGETS tabulon-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

# Manual pages are installed compressed, as Debian keeps them.
set(_man_pages tabulon-cli)
if(TARGET tabulon)
  list(APPEND _man_pages tabulon)
endif()
set(_man_outputs)
foreach(_page IN LISTS _man_pages)
  set(_out "${CMAKE_BINARY_DIR}/man/${_page}.1.gz")
  add_custom_command(OUTPUT "${_out}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/man"
    COMMAND gzip -9n -c "${_data}/man/${_page}.1" > "${_out}"
    DEPENDS "${_data}/man/${_page}.1"
    COMMENT "Compressing the manual page ${_page}(1)"
    VERBATIM)
  list(APPEND _man_outputs "${_out}")
endforeach()
add_custom_target(tabulon_man ALL DEPENDS ${_man_outputs})
install(FILES ${_man_outputs} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

install(FILES "${_data}/completion/tabulon-cli"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions")

if(TARGET tabulon)
  install(TARGETS tabulon RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  install(FILES "${_data}/tabulon.desktop"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  install(FILES "${_data}/tabulon-mime.xml" RENAME tabulon.xml
          DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages")
  install(FILES "${_data}/icons/tabulon.svg"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
  file(GLOB _icon_sizes LIST_DIRECTORIES true CONFIGURE_DEPENDS "${_data}/icons/hicolor/*")
  foreach(_size_dir IN LISTS _icon_sizes)
    get_filename_component(_size "${_size_dir}" NAME)
    install(FILES "${_size_dir}/apps/tabulon.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}/apps")
  endforeach()
endif()

# --- Debian package ------------------------------------------------------------

set(TABULON_PACKAGE_MAINTAINER "TABULON developers <tabulon@localhost>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tabulon)
set(CPACK_PACKAGE_VENDOR "TABULON developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${TABULON_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "classic spreadsheet with a headless batch tool")
set(CPACK_PACKAGE_DESCRIPTION
  "TABULON is a fast, scriptable classic spreadsheet: worksheet windows, a\n"
  "command-line style input line, @functions, dependency-driven recalculation\n"
  "and WKS/WK1 worksheet files. tabulon-cli evaluates formulas, enters cells,\n"
  "dumps and converts worksheets without a display.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps works out the library packages the programs link (Qt 6,
# libstdc++, libc). Qt loads its platform plugins at run time, which no
# linker records, so their package is named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET tabulon)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
include(CPack)
