list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/telemetry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/byte_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_video_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_3gp_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_avi_parser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parse_recording.cpp
)
