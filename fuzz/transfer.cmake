# The fake line and virtual time of the link's tests carry the fuzzer's bytes.
quintara_fuzzer(transfer
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/TransferFuzzer.cpp ${PROJECT_SOURCE_DIR}/tests/link/FakeSerialLine.h
  DEPENDS quintara_link quintara_centralsim)
