# The window actions and the hidden and cloaked lists, against windows of the
# victim process.
add_executable(window_actions_tests ${CMAKE_CURRENT_LIST_DIR}/window_actions_test.cpp)
target_link_libraries(window_actions_tests PRIVATE brask_app gtest gtest_main test_support)
add_dependencies(window_actions_tests victim)
add_test(NAME window_actions_tests COMMAND window_actions_tests)
