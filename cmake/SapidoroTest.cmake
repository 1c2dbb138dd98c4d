include(GoogleTest)

# sapidoro_add_test(<name> SOURCES <files...> [LIBS <targets...>])
# One GoogleTest executable per module, run by CTest headless.
function(sapidoro_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE sapidoro_test_main ${ARG_LIBS} sapidoro_warnings)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
