quintara_fuzzer(sim_console
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SimConsoleFuzzer.cpp
  DEPENDS quintara_centralsim)
