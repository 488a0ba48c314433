quintara_fuzzer(clock_lines
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ClockLinesFuzzer.cpp
  DEPENDS quintara_presentation)
