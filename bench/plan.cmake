quintara_bench(holidays
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HolidayBench.cpp
  DEPENDS quintara_plan)

quintara_bench(holidayplan
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HolidayPlanBench.cpp
  DEPENDS quintara_plan)

quintara_bench(simulationplan
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SimulationPlanBench.cpp
  DEPENDS quintara_plan)
