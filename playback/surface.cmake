# The video surface the engine draws into and the black frame behind it.
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/video_static.cpp
)
