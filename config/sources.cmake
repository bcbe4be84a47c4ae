# The configuration dialog (map provider and interface language).
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/pel_config_dlg.cpp
)
