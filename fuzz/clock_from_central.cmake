quintara_fuzzer(clock_from_central
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ClockFromCentralFuzzer.cpp
  DEPENDS quintara_link)
