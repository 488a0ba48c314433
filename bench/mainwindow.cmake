quintara_bench(weekview
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/WeekViewBench.cpp
  DEPENDS quintara_ui)
