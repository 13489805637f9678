# The window actions, the event path, the event list and rule application, in
# a main dialog of the tests' own against windows of the victim process.
add_executable(window_tests ${CMAKE_CURRENT_LIST_DIR}/window_tests.cpp ${CMAKE_SOURCE_DIR}/app/brask2.rc)
target_link_libraries(window_tests PRIVATE brask_events gtest gtest_main test_support)
add_dependencies(window_tests victim)
add_test(NAME window_tests COMMAND window_tests)
target_sources(window_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../actions/window_actions_test.cpp)
target_sources(window_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/event_queue_test.cpp)
