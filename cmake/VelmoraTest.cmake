# velmora_add_test(NAME SOURCES ... LIBS ...)
# One QtTest program per subsystem. Tests run offscreen, with their own
# per-user data folder so they never touch a real class workbook.
function(velmora_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-home/${name}/data;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/${name}/config;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/test-home/runtime;VELMORA_TEMPLATE=${VELMORA_SHARE_DIR}/Velmoravm2.1.xls;VELMORA_CORPUS=${CMAKE_SOURCE_DIR}/../shared/xls-corpus;VELMORA_TOOLS=${CMAKE_SOURCE_DIR}/tests/support"
    TIMEOUT 600)
endfunction()
