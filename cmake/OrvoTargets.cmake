set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)

if(ORVO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

function(orvo_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wformat=2)
endfunction()

# orvo_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [OFFSCREEN] [TIMEOUT s])
# One GoogleTest (or Qt Test) executable registered with CTest. Label "core"
# marks tests that need neither Qt nor libVLC (the sanitizer pass runs them);
# OFFSCREEN runs a Qt test on the offscreen platform; everything else runs
# under the X server that scripts/test.sh starts.
function(orvo_add_test)
  cmake_parse_arguments(T "OFFSCREEN" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  orvo_set_warnings(${T_NAME})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(env "QTWEBENGINE_DISABLE_SANDBOX=1" "ORVO_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(T_OFFSCREEN)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT}
                                            ENVIRONMENT "${env}")
endfunction()

# A part of the window loaded with dlopen when first needed, to keep its
# libraries out of the start-up: the module NAME (entry SOURCE, linking
# IMPL, lands beside the viewer's library) and the static LOADER library
# (LOADER_SOURCE, linking LOADER_LIBS) that the window links, which finds
# the module beside itself or, in the tests, at the build path given it as
# BUILD_PATH_DEFINE. The window library, made later, links every loader
# and depends on every module (ORVO_LOADED_MODULES: module;loader pairs).
function(orvo_add_loaded_module)
  cmake_parse_arguments(M "" "NAME;SOURCE;IMPL;LOADER;LOADER_SOURCE;BUILD_PATH_DEFINE"
                        "LOADER_LIBS" ${ARGN})
  add_library(${M_NAME} MODULE ${M_SOURCE})
  target_link_libraries(${M_NAME} PRIVATE ${M_IMPL})
  set_target_properties(${M_NAME} PROPERTIES CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/app)
  target_link_options(${M_NAME} PRIVATE -Wl,--exclude-libs,ALL -Wl,-O1 -Wl,--as-needed)
  orvo_set_warnings(${M_NAME})

  add_library(${M_LOADER} STATIC ${M_LOADER_SOURCE})
  target_include_directories(${M_LOADER} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${M_LOADER} PUBLIC orvo_core ${M_LOADER_LIBS} ${CMAKE_DL_LIBS})
  target_compile_definitions(${M_LOADER} PRIVATE
    ${M_BUILD_PATH_DEFINE}="$<TARGET_FILE:${M_NAME}>")
  set_target_properties(${M_LOADER} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  orvo_set_warnings(${M_LOADER})
  set_property(GLOBAL APPEND PROPERTY ORVO_LOADED_MODULES ${M_NAME} ${M_LOADER})
endfunction()
