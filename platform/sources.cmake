list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/private_profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module_beside.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thread_priority.cpp
)
list(APPEND ORVO_CORE_LIBS ${CMAKE_DL_LIBS})
