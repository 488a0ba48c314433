quintara_fuzzer(cli_command_line
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CommandLineFuzzer.cpp ${PROJECT_SOURCE_DIR}/tools/cli/CommandLine.cpp
          ${PROJECT_SOURCE_DIR}/tools/cli/CommandOptions.cpp
  DEPENDS quintara_plan quintara_project quintara_settings)
