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
