list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/kml_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gpx_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/camera_clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/track_points.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geojson_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/timed_kml_export.cpp
)
