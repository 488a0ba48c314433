quintara_fuzzer(tables
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TableCompilerFuzzer.cpp
  DEPENDS quintara_tables)
