# Installation into the usual layout (bin/, share/applications, icons,
# metainfo, man, doc) and the Debian package built by CPack
# (scripts/package.sh). Resources are compiled into the programs, so nothing
# else has to be found at run time.
include(GNUInstallDirs)
# Installing needs only the programs, not the tests and benchmarks.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(ORVO_PACKAGE_NAME orvo-player)
set(ORVO_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ORVO_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${ORVO_PACKAGING_OUT})

find_program(ORVO_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ORVO_GZIP gzip REQUIRED)

# Man pages and the changelog carry the project version; Debian wants them
# compressed, without a time stamp so that the package is reproducible.
set(ORVO_GENERATED_DOCS)
foreach(page orvo-player.1 orvo-info.1)
  configure_file(${ORVO_PACKAGING_DIR}/man/${page} ${ORVO_PACKAGING_OUT}/${page} @ONLY)
  add_custom_command(OUTPUT ${ORVO_PACKAGING_OUT}/${page}.gz
    COMMAND ${ORVO_GZIP} -9nkf ${ORVO_PACKAGING_OUT}/${page}
    DEPENDS ${ORVO_PACKAGING_OUT}/${page} VERBATIM)
  list(APPEND ORVO_GENERATED_DOCS ${ORVO_PACKAGING_OUT}/${page}.gz)
endforeach()
add_custom_command(OUTPUT ${ORVO_PACKAGING_OUT}/changelog.gz
  COMMAND ${ORVO_GZIP} -9nc ${ORVO_PACKAGING_DIR}/changelog > ${ORVO_PACKAGING_OUT}/changelog.gz
  DEPENDS ${ORVO_PACKAGING_DIR}/changelog)
list(APPEND ORVO_GENERATED_DOCS ${ORVO_PACKAGING_OUT}/changelog.gz)
configure_file(${ORVO_PACKAGING_DIR}/org.orvoplayer.OrvoPlayer.metainfo.xml
               ${ORVO_PACKAGING_OUT}/org.orvoplayer.OrvoPlayer.metainfo.xml @ONLY)

# The application icon is the about box's drawing (res/art/png_128.svg),
# rendered into the hicolor sizes.
set(ORVO_ICON_SVG ${PROJECT_SOURCE_DIR}/res/art/png_128.svg)
set(ORVO_ICON_SIZES 16 24 32 48 64 128 256 512)
set(ORVO_ICON_PNGS)
foreach(size ${ORVO_ICON_SIZES})
  set(png ${ORVO_PACKAGING_OUT}/icons/${size}x${size}/orvo-player.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVO_PACKAGING_OUT}/icons/${size}x${size}
    COMMAND ${ORVO_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${ORVO_ICON_SVG}
    DEPENDS ${ORVO_ICON_SVG} VERBATIM)
  list(APPEND ORVO_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(orvo_packaging_files ALL DEPENDS ${ORVO_GENERATED_DOCS} ${ORVO_ICON_PNGS})

install(TARGETS orvo-info RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET orvo-player)
  install(TARGETS orvo-player RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The launcher finds the viewer proper at ORVO_UI_LIBRARY_FOLDER from bin/.
  install(TARGETS orvo-player-ui LIBRARY DESTINATION lib/orvo-player
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  # Beside it, the modules it loads later: the clip export on the first
  # export, the map's browser when the map starts.
  install(TARGETS orvo-clip-export orvo-map-browser LIBRARY DESTINATION lib/orvo-player
          PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endif()
install(FILES ${ORVO_PACKAGING_DIR}/orvo-player.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORVO_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME orvo-player.svg)
install(FILES ${ORVO_PACKAGING_OUT}/org.orvoplayer.OrvoPlayer.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ORVO_PACKAGING_OUT}/orvo-player.1.gz ${ORVO_PACKAGING_OUT}/orvo-info.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ORVO_PACKAGING_DIR}/copyright ${ORVO_PACKAGING_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${ORVO_PACKAGE_NAME})

# The Debian package. Shared-library dependencies are computed from the
# binaries; what they load at run time (libVLC and its plug-ins, the
# browser's helper process, the X11 platform plug-in, SQLite for offline
# maps, a font with Japanese glyphs) is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${ORVO_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Orvo Player developers")
set(CPACK_PACKAGE_CONTACT "The Orvo Player developers <dev@orvoplayer.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "viewer for dash-camera recordings with GPS track and G-forces")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvo Player finds the recordings on a dash camera's memory card, reads the
GPS and G-sensor data that the camera stored inside each video file, lists
the recordings by time and type and plays them while a map shows the track
and the car's position, a curve shows the G-forces and a label shows the
speed, all in step with the picture. The orvo-info command reads the same
data without a window and exports it as JSON, CSV, GPX and KML.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvoplayer.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libvlc5, libvlc-bin, vlc-plugin-base, vlc-plugin-video-output, libqt6webenginecore6-bin, qt6-qpa-plugins, libqt6sql6-sqlite, fonts-noto-cjk")
include(CPack)
