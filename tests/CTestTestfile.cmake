# CMake generated Testfile for 
# Source directory: /work/main/tests
# Build directory: /work/main/tests
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/main/tests/test_app[1]_include.cmake")
include("/work/main/tests/test_db[1]_include.cmake")
include("/work/main/tests/test_settings[1]_include.cmake")
include("/work/main/tests/test_web[1]_include.cmake")
include("/work/main/tests/test_analysis[1]_include.cmake")
include("/work/main/tests/test_local[1]_include.cmake")
include("/work/main/tests/test_view[1]_include.cmake")
include("/work/main/tests/test_window[1]_include.cmake")
include("/work/main/tests/test_output[1]_include.cmake")
include("/work/main/tests/test_maintenance[1]_include.cmake")
include("/work/main/tests/test_driver[1]_include.cmake")
include("/work/main/tests/test_cli[1]_include.cmake")
include("/work/main/tests/test_gui[1]_include.cmake")
add_test([=[SampleOutputs.ByteIdenticalToTheKeptCopies]=] "bash" "/work/main/tests/golden/check.sh" "/work/main/src/marunoki-cli")
set_tests_properties([=[SampleOutputs.ByteIdenticalToTheKeptCopies]=] PROPERTIES  _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;55;add_test;/work/main/tests/CMakeLists.txt;0;")
