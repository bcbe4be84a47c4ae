# Start-up support: the benchmarks' marker file (no Qt).
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/bench_marker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_setup.cpp
)
