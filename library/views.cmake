# List views, the media-open dialog and the folder picker. The row texts
# and the picture-size names need no Qt.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/column_widths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_row_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mount_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_size_name.cpp
)
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/file_list_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/group_list_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/media_open_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/row_list_ctrl.cpp
)
