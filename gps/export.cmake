list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/kml_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gpx_export.cpp
)
