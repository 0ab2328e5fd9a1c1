if(EXISTS "/work/main/tests/test_driver")
  if(NOT EXISTS "/work/main/tests/test_driver[1]_tests.cmake" OR
     NOT "/work/main/tests/test_driver[1]_tests.cmake" IS_NEWER_THAN "/work/main/tests/test_driver" OR
     NOT "/work/main/tests/test_driver[1]_tests.cmake" IS_NEWER_THAN "${CMAKE_CURRENT_LIST_FILE}")
    include("/usr/share/cmake-3.25/Modules/GoogleTestAddTests.cmake")
    gtest_discover_tests_impl(
      TEST_EXECUTABLE [==[/work/main/tests/test_driver]==]
      TEST_EXECUTOR [==[]==]
      TEST_WORKING_DIR [==[/work/main/tests]==]
      TEST_EXTRA_ARGS [==[]==]
      TEST_PROPERTIES [==[ENVIRONMENT;QT_QPA_PLATFORM=offscreen]==]
      TEST_PREFIX [==[]==]
      TEST_SUFFIX [==[]==]
      TEST_FILTER [==[]==]
      NO_PRETTY_TYPES [==[FALSE]==]
      NO_PRETTY_VALUES [==[FALSE]==]
      TEST_LIST [==[test_driver_TESTS]==]
      CTEST_FILE [==[/work/main/tests/test_driver[1]_tests.cmake]==]
      TEST_DISCOVERY_TIMEOUT [==[60]==]
      TEST_XML_OUTPUT_DIR [==[]==]
    )
  endif()
  include("/work/main/tests/test_driver[1]_tests.cmake")
else()
  add_test(test_driver_NOT_BUILT test_driver_NOT_BUILT)
endif()
