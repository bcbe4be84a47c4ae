# Image buttons, off-screen drawing, text drawing and image statics. The
# colour matrices and the button state rules need no Qt.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/button_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/color_matrix.cpp
)
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/gdi_plus_bitmap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdip_button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memory_dc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_static.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_drawing.cpp
)
