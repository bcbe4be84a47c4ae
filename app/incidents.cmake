# The window's incidents and trips: the background scan and its hooks.
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/incident_scanner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qor_dlg_incidents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trip_summary_cache.cpp
)
