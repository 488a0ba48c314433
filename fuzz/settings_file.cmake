quintara_fuzzer(settings_file
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsFileFuzzer.cpp
  DEPENDS quintara_settings)
