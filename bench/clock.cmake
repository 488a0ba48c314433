quintara_bench(occurrences
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/OccurrencesBench.cpp
  DEPENDS quintara_clock)
