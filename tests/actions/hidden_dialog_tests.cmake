# The Hidden/Cloaked Windows dialog over windows of the victim program.
add_executable(hidden_dialog_tests
    ${CMAKE_CURRENT_LIST_DIR}/hidden_dialog_test.cpp
    ${CMAKE_SOURCE_DIR}/app/brask2.rc)
target_link_libraries(hidden_dialog_tests PRIVATE brask_app gtest gtest_main test_support)
add_dependencies(hidden_dialog_tests victim)
add_test(NAME hidden_dialog_tests COMMAND hidden_dialog_tests)
