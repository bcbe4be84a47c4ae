# Files of this folder, one fragment per capability (each owned by one
# area); a fragment that does not exist yet is skipped.
include(${CMAKE_CURRENT_LIST_DIR}/clip.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/evidence.cmake OPTIONAL)
