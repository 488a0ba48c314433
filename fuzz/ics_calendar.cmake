quintara_fuzzer(ics_calendar
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/IcsCalendarFuzzer.cpp
  DEPENDS quintara_plan)
