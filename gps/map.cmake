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
  ${CMAKE_CURRENT_LIST_DIR}/map_browser.h
  ${CMAKE_CURRENT_LIST_DIR}/browser_graphics.cpp
  ${PROJECT_SOURCE_DIR}/res/map/map.qrc)

if(ORVO_BUILD_UI)
  # The browser (its profile, page and tile scheme) links QtWebEngine, which
  # takes a good part of the window's start-up to load: the window loads it
  # as a module of its own when the map starts, after the first paint. The
  # module lands beside the viewer's library in the build tree; the tests
  # find it by its build path.
  add_library(orvo_map_browser STATIC
    ${CMAKE_CURRENT_LIST_DIR}/map_profile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/map_profile.h
    ${CMAKE_CURRENT_LIST_DIR}/mbtiles_scheme_handler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mbtiles_scheme_handler.h
    ${CMAKE_CURRENT_LIST_DIR}/web_map_browser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/web_map_browser.h)
  target_include_directories(orvo_map_browser PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(orvo_map_browser PUBLIC orvo_core Qt6::WebEngineWidgets)
  target_compile_definitions(orvo_map_browser PUBLIC QT_NO_KEYWORDS QT_NO_FOREACH)
  set_target_properties(orvo_map_browser PROPERTIES POSITION_INDEPENDENT_CODE ON)
  orvo_set_warnings(orvo_map_browser)

  orvo_add_loaded_module(NAME orvo-map-browser
    SOURCE ${CMAKE_CURRENT_LIST_DIR}/map_browser_module.cpp IMPL orvo_map_browser
    LOADER orvo_map_browser_loader LOADER_SOURCE ${CMAKE_CURRENT_LIST_DIR}/map_browser_loader.cpp
    LOADER_LIBS Qt6::Widgets BUILD_PATH_DEFINE ORVO_MAP_BROWSER_BUILD_PATH)
endif()

