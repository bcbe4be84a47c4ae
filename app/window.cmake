# The main window, its about box and the window's pure layout rules.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/window_layout.cpp
)
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/about_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_app.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_dlg_playback.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_dlg_file_menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_dlg_evidence.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_dlg_clip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/control_ids.h
  ${CMAKE_CURRENT_LIST_DIR}/window_message_event.h
)
