list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/clip_catalog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clip_ticks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/documents_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_operations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/number_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_size_name.cpp
  ${CMAKE_CURRENT_LIST_DIR}/recording_file.cpp
)
