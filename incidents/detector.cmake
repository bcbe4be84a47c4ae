# The incident detector over a card's recordings and the N / Shift+N stops.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/acceleration_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/card_incident_scan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/incident_book.cpp
  ${CMAKE_CURRENT_LIST_DIR}/incident_detector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/incident_navigator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/incident_time.cpp
)
