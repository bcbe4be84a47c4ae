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
set_target_properties(orvo_clip_export PROPERTIES POSITION_INDEPENDENT_CODE ON)
orvo_set_warnings(orvo_clip_export)

if(ORVO_BUILD_UI)
  # The window loads the exporter as a module of its own on the first
  # export, so FFmpeg's libraries stay out of its start-up. The module lands
  # beside the viewer's library in the build tree; the tests find it by its
  # build path.
  orvo_add_loaded_module(NAME orvo-clip-export
    SOURCE ${CMAKE_CURRENT_LIST_DIR}/clip_export_module.cpp IMPL orvo_clip_export
    LOADER orvo_clip_export_loader LOADER_SOURCE ${CMAKE_CURRENT_LIST_DIR}/clip_export_loader.cpp
    BUILD_PATH_DEFINE ORVO_CLIP_EXPORT_BUILD_PATH)
endif()

