# quintara_layer(<target> ...): common settings for every library and executable of ours.
function(quintara_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(QUINTARA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# quintara_layer(<name> SOURCES ... DEPENDS ...): a layer library quintara_<name>.
function(quintara_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(quintara_${name} STATIC ${L_SOURCES})
  target_include_directories(quintara_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(quintara_${name} PUBLIC ${L_DEPENDS})
  quintara_target(quintara_${name})
endfunction()

# quintara_test(<layer> [GUI] SOURCES ... DEPENDS ...): one GoogleTest executable a layer,
# every test registered with CTest under its own name, on the offscreen platform. GUI tests get
# a QApplication, the others a QCoreApplication.
function(quintara_test layer)
  cmake_parse_arguments(T "GUI" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(test_${layer} ${T_SOURCES})
  if(T_GUI)
    set(test_main quintara_testmain_gui)
  else()
    set(test_main quintara_testmain_core)
  endif()
  target_link_libraries(test_${layer} PRIVATE ${T_DEPENDS} quintara_testsupport ${test_main}
                        GTest::gtest GTest::gmock)
  quintara_target(test_${layer})
  gtest_discover_tests(test_${layer}
    TEST_PREFIX "${layer}."
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
