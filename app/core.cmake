# Settings file, interface language and string tables (no Qt).
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/qor_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_strings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/string_tables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/feature_string_tables.cpp
)
