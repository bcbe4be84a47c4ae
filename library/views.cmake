# List views, the media-open dialog and the folder picker. The row texts
# and the picture-size names need no Qt.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/list_row_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_size_name.cpp
)
