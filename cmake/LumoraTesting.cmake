# lumora_add_test(NAME SOURCES src... LIBS lib... [LABELS l...] [TIMEOUT s])
# One executable per behaviour, run headless with a fixed locale.
function(lumora_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8;TZ=Asia/Shanghai;QTWEBENGINE_DISABLE_SANDBOX=1;QT_LOGGING_RULES=qt.qpa.*=false")
endfunction()

# Subfolders of tests/ and bench/ that exist are added; each helper folder owns its own list.
function(lumora_add_existing_subdirs)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# lumora_add_postgresql_run(NAME): runs the test NAME a second time as NAME_postgresql, its service storage on a
# throwaway PostgreSQL cluster instead of SQLite (see tests/support/TestDatabase.h).
function(lumora_add_postgresql_run name)
  get_test_property(${name} TIMEOUT timeout)
  get_test_property(${name} ENVIRONMENT environment)
  get_test_property(${name} LABELS labels)
  if(NOT labels)
    set(labels "")
  endif()
  add_test(NAME ${name}_postgresql COMMAND ${name})
  list(APPEND environment "LUMORA_TEST_ENGINE=postgresql")
  list(APPEND labels postgresql)
  set_tests_properties(${name}_postgresql PROPERTIES TIMEOUT ${timeout} LABELS "${labels}" ENVIRONMENT "${environment}")
endfunction()
