# velmira_module(NAME SOURCES... [DEPS lib...])
# One static library per core module; include paths are rooted at src/ so that
# headers are named by module: #include "image/image_buffer.h".
function(velmira_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS" ${ARGN})
  add_library(velmira_${name} STATIC ${M_SOURCES})
  target_include_directories(velmira_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(M_DEPS)
    target_link_libraries(velmira_${name} PUBLIC ${M_DEPS})
  endif()
endfunction()

include(GoogleTest)

# velmira_test(NAME SOURCES... DEPS lib...)
# A GoogleTest executable registered with CTest; tests run from the build tree and
# find generated data through VELMIRA_TEST_DATA.
function(velmira_test name)
  # ENVIRONMENT: one VAR=value for every case instead of the offscreen Qt platform.
  cmake_parse_arguments(T "" "ENVIRONMENT" "SOURCES;DEPS" ${ARGN})
  if(NOT T_ENVIRONMENT)
    set(T_ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    VELMIRA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    VELMIRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  # One CTest test per case, named SUITE.Case after the executable, so that a failure
  # names its case and `ctest -R <executable>` still picks a whole suite.
  gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
endfunction()
