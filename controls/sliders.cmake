# Position and volume sliders, and the private-message event they send.
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/jump_slider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/my_slider_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/video_slider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_message_send.cpp
)
