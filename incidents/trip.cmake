# Trip summaries and the telemetry reader they share with the detector.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/recording_telemetry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/track_statistics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trip_summary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trip_summary_text.cpp
)
