# The main window's compass, speed label and status board.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/panel_rules.cpp
)
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/png_compass_static.cpp
  ${CMAKE_CURRENT_LIST_DIR}/speed_label_static.cpp
  ${CMAKE_CURRENT_LIST_DIR}/status_board_static.cpp
)
