# Installation and the Debian package: the two programs, the desktop entry, the
# icons of the hicolor theme, and a manual page for each program.
include(GNUInstallDirs)

find_package(Qt6 REQUIRED COMPONENTS Svg)

install(TARGETS KELD32 mcisend RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Raster icons are drawn from the one SVG while building.
add_executable(keld_render_icon data/icons/render_icon.cpp)
target_link_libraries(keld_render_icon PRIVATE Qt6::Gui Qt6::Svg)

set(KELD_ICON_SVG ${CMAKE_SOURCE_DIR}/data/icons/keld32.svg)
set(KELD_ICON_PNGS)
foreach(size 48 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/keld32.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND keld_render_icon ${KELD_ICON_SVG} ${size} ${png}
    DEPENDS keld_render_icon ${KELD_ICON_SVG}
    COMMENT "Rendering the ${size}x${size} icon")
  list(APPEND KELD_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages are installed compressed, as Debian's policy wants them.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(KELD_MAN_PAGES)
foreach(page KELD32 mcisend)
  set(gz ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP_EXECUTABLE} -9nc ${CMAKE_SOURCE_DIR}/data/man/${page}.1 > ${gz}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/man/${page}.1
    COMMENT "Compressing the manual page ${page}(1)")
  list(APPEND KELD_MAN_PAGES ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The Debian changelog, compressed as the manual pages are.
set(KELD_CHANGELOG ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${KELD_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
  COMMAND ${GZIP_EXECUTABLE} -9nc ${CMAKE_SOURCE_DIR}/data/debian/changelog > ${KELD_CHANGELOG}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/debian/changelog
  COMMENT "Compressing the changelog")
install(FILES ${KELD_CHANGELOG} data/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/keld32)

add_custom_target(keld_data ALL DEPENDS ${KELD_ICON_PNGS} ${KELD_MAN_PAGES} ${KELD_CHANGELOG})

install(FILES ${KELD_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/keld32.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The software centre's entry, named after its component id as AppStream wants.
install(FILES data/keld32.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
  RENAME org.example.keld32.metainfo.xml)

# The Debian package: `cpack -G DEB` in the build directory, then
# `apt install ./keld32_*.deb`; dpkg-shlibdeps finds the libraries it needs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keld32)
set(CPACK_PACKAGE_VENDOR "Vantu")
set(CPACK_PACKAGE_CONTACT "Vantu <keld32@vantu.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vantu's MCI Video File Player: frame-accurate video player")
# Lines of at most 80 characters, the leading blank included.
set(CPACK_PACKAGE_DESCRIPTION
  "KELD32 plays one video file at a time with frame-accurate transport:\n"
  "forward and reverse play, single steps both ways, go to a frame, loop\n"
  "and a seek bar. It shows the picture at 1:1, 2:1, 3:1 or full screen,\n"
  "plays queues of files, saves the current frame as a bitmap and keeps its\n"
  "preferences per user. The desktop controls it over MPRIS. The package\n"
  "also holds mcisend, a console tool that sends MCI command strings to the\n"
  "same service.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt platform plugin for X11 is loaded at run time, so no library link names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, shared-mime-info")
set(CPACK_STRIP_FILES ON)
include(CPack)
