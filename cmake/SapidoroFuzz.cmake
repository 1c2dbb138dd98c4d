# sapidoro_add_fuzzer(<name> SOURCES <files...> LIBS <targets...> CORPUS <dir> [DICT <file>])
# The fuzz entry point LLVMFuzzerTestOneInput is built twice, with fuzz/support's helpers:
#  - always, as <name>_replay, a CTest test that runs every file of the seed corpus;
#  - with SAPIDORO_FUZZ (clang), as the libFuzzer target <name>, run briefly by CTest.
# With DICT, the fuzzer also splices in the tokens of that libFuzzer dictionary.
set(SAPIDORO_FUZZ_SECONDS 15 CACHE STRING "Seconds each fuzzer runs under CTest")

function(sapidoro_add_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS;DICT" "SOURCES;LIBS" ${ARGN})
  set(support ${SAPIDORO_ROOT}/fuzz/support)
  add_executable(${name}_replay ${ARG_SOURCES} ${support}/FuzzParts.cpp ${support}/ReplayMain.cpp)
  target_include_directories(${name}_replay PRIVATE ${support})
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS} sapidoro_warnings)
  add_test(NAME ${name}_replay COMMAND ${name}_replay ${ARG_CORPUS})
  set_tests_properties(${name}_replay PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

  if(SAPIDORO_FUZZ)
    if(NOT TARGET fuzzers)
      add_custom_target(fuzzers)
    endif()
    add_executable(${name} ${ARG_SOURCES} ${support}/FuzzParts.cpp)
    target_include_directories(${name} PRIVATE ${support})
    add_dependencies(fuzzers ${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} sapidoro_warnings)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
    set(dict "")
    if(ARG_DICT)
      set(dict "-dict='${ARG_DICT}'")
    endif()
    add_test(NAME ${name}
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
              sh -c "mkdir -p '${work}' && exec '$<TARGET_FILE:${name}>' -max_total_time=${SAPIDORO_FUZZ_SECONDS} -rss_limit_mb=4096 ${dict} '${work}' '${ARG_CORPUS}'")
    set_tests_properties(${name} PROPERTIES LABELS fuzz)
  endif()
endfunction()
