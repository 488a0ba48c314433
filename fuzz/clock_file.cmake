quintara_fuzzer(clock_file
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ClockFileFuzzer.cpp
  DEPENDS quintara_clock)
