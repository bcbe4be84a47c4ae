# The main window's styled tooltip.
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/pel_tool_tip_ctrl.cpp
)
