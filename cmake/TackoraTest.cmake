# SPDX-License-Identifier: MIT
# One executable per test class; every test runs headless in a fresh runtime folder.
# tackora_add_test(NAME name SOURCES ... LIBS ... [LABELS x11])
function(tackora_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE tackora_options tackora_test_support Qt6::Test ${T_LIBS})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(env
    "TACKORA_BINARY_DIR=${CMAKE_BINARY_DIR}"
    "TACKORA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "TACKORA_FIXTURES=${CMAKE_SOURCE_DIR}/../shared/fixtures"
    "QTWEBENGINE_DISABLE_SANDBOX=1")
  if(T_LABELS)
    # Real X11 tests get their display from the runner (xvfb-run).
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  else()
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT_MODIFICATION "DISPLAY=unset:")
  endif()
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
