# Clip export. The telemetry cut is pure (core); the remux links FFmpeg's
# libraries and so lives in a library of its own, which the core tests and
# the sanitizer build of the core never need.
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/clip_telemetry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clip_span.cpp)

pkg_check_modules(LIBAV REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)
add_library(orvo_clip_export STATIC
  ${CMAKE_CURRENT_LIST_DIR}/clip_exporter.cpp)
target_include_directories(orvo_clip_export PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(orvo_clip_export PUBLIC orvo_core PRIVATE PkgConfig::LIBAV)
orvo_set_warnings(orvo_clip_export)

# The window library is created after this file is read.
function(orvo_link_clip_export_to_ui)
  if(TARGET orvo_ui)
    target_link_libraries(orvo_ui PUBLIC orvo_clip_export)
  endif()
endfunction()
cmake_language(DEFER CALL orvo_link_clip_export_to_ui)
