# Mouse and keyboard input of the main window: the pure drag, splitter and
# crop rules, and the window's handlers.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/window_input.cpp
)
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/qor_dlg_input.cpp
)
# Keyboard: the pure key table and the frame clock, and the window's keys.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/key_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_step.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drop_target.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menu_text.cpp
)
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/qor_dlg_keys.cpp
)
