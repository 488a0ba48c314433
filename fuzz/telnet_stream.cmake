quintara_fuzzer(telnet_stream
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TelnetStreamFuzzer.cpp
  DEPENDS quintara_link)
