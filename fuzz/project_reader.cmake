quintara_fuzzer(project_reader
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProjectReaderFuzzer.cpp
  DEPENDS quintara_project)
