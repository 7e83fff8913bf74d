# Installation and packages. Linux: `cmake --install` lays out bin/, the UI
# library in lib/chengjing/ (found through $ORIGIN, so an installed tree moves
# as a whole), the menu entry and the icons; `cpack` makes a .deb whose
# dependencies dpkg-shlibdeps computes. Windows: `cpack` makes a per-user NSIS
# installer (packaging/windows/NSIS.template.in) and a portable zip of the same
# files. The version everywhere is project(... VERSION ...).

# Installing (and cpack) takes what is built and builds nothing more: the
# programs are built first (scripts/package_check.sh), never the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CJ_DISPLAY_NAME "澄镜文件极速搜索工具")
set(CJ_PACKAGE_CONTACT "澄镜文件极速搜索工具 maintainers"
    CACHE STRING "The .deb's Maintainer field: name <address>")

# The executables of the package: the window joins when it builds for the
# system at hand.
set(CJ_PROGRAMS chengjing-cli)
if(TARGET chengjing)
  list(PREPEND CJ_PROGRAMS chengjing)
endif()

if(WIN32)
  # Icon and version resource of each executable.
  set(CJ_RC_ICON "${PROJECT_SOURCE_DIR}/packaging/icons/chengjing.ico")
  set(CJ_VENDOR "${CJ_DISPLAY_NAME}")
  foreach(program IN LISTS CJ_PROGRAMS)
    set(CJ_RC_FILE_NAME "${program}.exe")
    if(program STREQUAL "chengjing-cli")
      set(CJ_RC_DESCRIPTION "${CJ_DISPLAY_NAME}（命令行）")
    else()
      set(CJ_RC_DESCRIPTION "${CJ_DISPLAY_NAME}")
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in
                   ${CMAKE_BINARY_DIR}/generated/${program}.rc @ONLY)
    target_sources(${program} PRIVATE ${CMAKE_BINARY_DIR}/generated/${program}.rc)
  endforeach()

  install(TARGETS ${CJ_PROGRAMS} RUNTIME DESTINATION .)
  # Should the UI library come as a DLL, it lies beside the window.
  if(TARGET exdui)
    install(TARGETS exdui RUNTIME DESTINATION . LIBRARY DESTINATION .)
  endif()
  # An empty data\ beside the programs: where they keep their files.
  install(DIRECTORY DESTINATION data)

  set(CPACK_GENERATOR "NSIS;ZIP")
  set(CPACK_PACKAGE_FILE_NAME "chengjing-${PROJECT_VERSION}-windows-x64")
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
  set(CPACK_CJ_ICON "${CJ_RC_ICON}")
  # CPack looks for NSIS.template.in along the module path.
  list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
else()
  set(CJ_PRIVATE_LIBDIR lib/chengjing)
  if(TARGET chengjing)
    # One RUNPATH for the build tree (the library beside the executable) and
    # the installed tree, so that installing rewrites nothing: CMake would
    # otherwise pad the build's RUNPATH with empty entries, which the loader
    # reads as the current folder.
    set_target_properties(chengjing PROPERTIES
      INSTALL_RPATH "$ORIGIN:$ORIGIN/../${CJ_PRIVATE_LIBDIR}"
      BUILD_WITH_INSTALL_RPATH ON)
    install(TARGETS exdui LIBRARY DESTINATION ${CJ_PRIVATE_LIBDIR})
    install(FILES packaging/linux/chengjing.desktop DESTINATION share/applications)
    foreach(size 16 24 32 48 64 128 256)
      install(FILES packaging/icons/chengjing-${size}.png
              DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME chengjing.png)
    endforeach()
    install(FILES packaging/icons/chengjing.svg DESTINATION share/icons/hicolor/scalable/apps)
  endif()
  install(TARGETS ${CJ_PROGRAMS} RUNTIME DESTINATION bin)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS /usr/${CJ_PRIVATE_LIBDIR})
  # The window names its Chinese font (Noto Sans CJK SC); opening a file or
  # its folder goes through xdg-open.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, xdg-utils")
endif()

# The packages carry no debug information (the Windows preset builds with it).
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME chengjing)
set(CPACK_PACKAGE_VENDOR "${CJ_DISPLAY_NAME}")
set(CPACK_PACKAGE_CONTACT "${CJ_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "${CJ_DISPLAY_NAME}: find files by a waybill number in their names and copy them out")
set(CPACK_PACKAGE_DESCRIPTION
    "A file-name search tool for shops and warehouses: type a courier waybill number and find, among millions of photos and scans, every file whose name holds it, then copy the hits out to a folder. Includes chengjing-cli for scripts.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY chengjing)
set(CPACK_CJ_DISPLAY_NAME "${CJ_DISPLAY_NAME}")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
