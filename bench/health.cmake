quintara_bench(health
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HealthBench.cpp
  DEPENDS quintara_clock)
