# The recovery file end to end: the real brask2.exe killed, then started
# again. A program of its own, registered after app_tests (the files of this
# folder are read in name order): the killed run's hook stays in Wine's chain
# and would keep the stand-in libraries of app_tests' failed starts from
# loading, and MinGW runs a program's later files' tests first.
add_executable(recovery_tests ${CMAKE_SOURCE_DIR}/tests/actions/recovery_file_test.cpp)
target_link_libraries(recovery_tests PRIVATE rule_core gtest gtest_main test_support)
add_dependencies(recovery_tests brask2_exe brask2_dll victim)
add_test(NAME recovery_tests COMMAND recovery_tests)
