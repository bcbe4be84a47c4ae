# libVLC binding (engine library, no Qt) and the pure rate table (core).
list(APPEND ORVO_ENGINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/vlc_player.cpp
  ${CMAKE_CURRENT_LIST_DIR}/player_event_sink.cpp)
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/rate_table.cpp)
