# Map view: script texts, tile sources and the MBTiles reader (core) and the
# embedded map page (UI).
find_package(SQLite3 REQUIRED)
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/map_script.cpp
  ${CMAKE_CURRENT_LIST_DIR}/map_script.h
  ${CMAKE_CURRENT_LIST_DIR}/map_tile_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/map_tile_source.h
  ${CMAKE_CURRENT_LIST_DIR}/mbtiles_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mbtiles_reader.h)
list(APPEND ORVO_CORE_LIBS SQLite::SQLite3)
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/html_map_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/html_map_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/map_profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/map_profile.h
  ${CMAKE_CURRENT_LIST_DIR}/mbtiles_scheme_handler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mbtiles_scheme_handler.h
  ${PROJECT_SOURCE_DIR}/res/map/map.qrc)
