# Mouse and keyboard input of the main window: the pure drag, splitter and
# crop rules, and the window's handlers.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/window_input.cpp
)
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/qor_dlg_input.cpp
)
