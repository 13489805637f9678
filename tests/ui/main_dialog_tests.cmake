# The main dialog created from resource 130 in this process and driven with
# messages; its modal dialogs (editor, open-file dialog, About box, Hidden/
# Cloaked Windows) answered by a thread timer.
add_executable(main_dialog_tests
    ${CMAKE_CURRENT_LIST_DIR}/main_dialog_test.cpp
    ${CMAKE_SOURCE_DIR}/app/brask2.rc)
target_link_libraries(main_dialog_tests PRIVATE brask_app gtest gtest_main test_support)
add_test(NAME main_dialog_tests COMMAND main_dialog_tests)
