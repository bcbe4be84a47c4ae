# Map view: script texts (core) and the embedded map page (UI).
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/map_script.cpp
  ${CMAKE_CURRENT_LIST_DIR}/map_script.h)
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/html_map_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/html_map_dlg.h
  ${PROJECT_SOURCE_DIR}/res/map/map.qrc)
