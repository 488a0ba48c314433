quintara_bench(book
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/BookBench.cpp
  DEPENDS quintara_book)
target_compile_definitions(bench_book PRIVATE
  QUINTARA_DEMO_PROJECT="${PROJECT_SOURCE_DIR}/examples/demo.nbt"
  QUINTARA_DEMO_CLOCK_FILE="${PROJECT_SOURCE_DIR}/examples/demo.clk")
