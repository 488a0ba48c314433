quintara_bench(sun
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SunBench.cpp
  DEPENDS quintara_plan)
