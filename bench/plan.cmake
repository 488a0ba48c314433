quintara_bench(holidays
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HolidayBench.cpp
  DEPENDS quintara_plan)
