# Files of this folder, one fragment per part of it (each owned by one
# area); a fragment that does not exist yet is skipped.
include(${CMAKE_CURRENT_LIST_DIR}/core.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/window.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/input.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/startup.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/incidents.cmake OPTIONAL)
