# The rule editor, opened modally over a main dialog of the test's own.
add_executable(rule_editor_tests
    ${CMAKE_CURRENT_LIST_DIR}/rule_editor_test.cpp
    ${CMAKE_SOURCE_DIR}/app/brask2.rc)
target_link_libraries(rule_editor_tests PRIVATE brask_app gtest gtest_main test_support)
add_dependencies(rule_editor_tests victim)
add_test(NAME rule_editor_tests COMMAND rule_editor_tests)
