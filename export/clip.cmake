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
  add_library(orvo-clip-export MODULE ${CMAKE_CURRENT_LIST_DIR}/clip_export_module.cpp)
  target_link_libraries(orvo-clip-export PRIVATE orvo_clip_export)
  set_target_properties(orvo-clip-export PROPERTIES CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/app)
  target_link_options(orvo-clip-export PRIVATE -Wl,--exclude-libs,ALL -Wl,-O1 -Wl,--as-needed)
  orvo_set_warnings(orvo-clip-export)

  add_library(orvo_clip_export_loader STATIC ${CMAKE_CURRENT_LIST_DIR}/clip_export_loader.cpp)
  target_link_libraries(orvo_clip_export_loader PUBLIC orvo_core ${CMAKE_DL_LIBS})
  target_compile_definitions(orvo_clip_export_loader PRIVATE
    ORVO_CLIP_EXPORT_BUILD_PATH="$<TARGET_FILE:orvo-clip-export>")
  set_target_properties(orvo_clip_export_loader PROPERTIES POSITION_INDEPENDENT_CODE ON)
  orvo_set_warnings(orvo_clip_export_loader)
endif()

# The window library is created after this file is read.
function(orvo_link_clip_export_to_ui)
  if(TARGET orvo_ui)
    target_link_libraries(orvo_ui PUBLIC orvo_clip_export_loader)
    add_dependencies(orvo_ui orvo-clip-export)
  endif()
endfunction()
cmake_language(DEFER CALL orvo_link_clip_export_to_ui)
