quintara_fuzzer(link_frames
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/link_frames.cpp
  DEPENDS quintara_link quintara_centralsim)
