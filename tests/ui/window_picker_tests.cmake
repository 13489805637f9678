# The window picker, driven with real mouse and keyboard input.
add_executable(window_picker_tests
    ${CMAKE_CURRENT_LIST_DIR}/window_picker_test.cpp
    ${CMAKE_SOURCE_DIR}/app/brask2.rc)
target_link_libraries(window_picker_tests PRIVATE brask_app gtest gtest_main test_support)
add_dependencies(window_picker_tests victim)
add_test(NAME window_picker_tests COMMAND window_picker_tests)
