# Table transfer over a pseudo-terminal and over loopback TCP against the simulator executable.
quintara_bench(transfer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TransferBench.cpp
  DEPENDS quintara_link)
add_dependencies(bench_transfer central-sim)
target_compile_definitions(bench_transfer PRIVATE
  QUINTARA_CENTRAL_SIM="$<TARGET_FILE:central-sim>"
  QUINTARA_DEMO_PROJECT="${PROJECT_SOURCE_DIR}/examples/demo.nbt")
