# libVLC binding (engine library, no Qt) and the pure rate table (core).
list(APPEND ORVO_ENGINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/vlc_player.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engine_head_start.cpp
  ${CMAKE_CURRENT_LIST_DIR}/early_surface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/player_event_sink.cpp)
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/rate_table.cpp)

# Snapshots to JPEG are re-encoded from the engine's PNG (libVLC 3 writes PNG
# only). The engine target is created after this file is read, so the link is
# deferred to the end of the directory.
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
cmake_language(DEFER CALL target_link_libraries orvo_engine PRIVATE PNG::PNG JPEG::JPEG)

# The launcher's own window for the first picture (X11).
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
cmake_language(DEFER CALL target_link_libraries orvo_engine PRIVATE PkgConfig::XCB)
