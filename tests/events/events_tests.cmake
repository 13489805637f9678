# The event path, the event list and rule application, in a main dialog of the
# tests' own against windows of the victim process.
add_executable(events_tests
    ${CMAKE_CURRENT_LIST_DIR}/window_events_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/apply_rules_test.cpp
    ${CMAKE_SOURCE_DIR}/app/brask2.rc
)
target_link_libraries(events_tests PRIVATE brask_app gtest gtest_main test_support)
add_dependencies(events_tests victim)
add_test(NAME events_tests COMMAND events_tests)
