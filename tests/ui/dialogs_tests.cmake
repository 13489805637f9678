# The rule editor, the window picker and the Hidden/Cloaked Windows dialog,
# over a main dialog of the test's own and windows of the victim program.
add_executable(dialogs_tests ${CMAKE_CURRENT_LIST_DIR}/dialogs_test.cpp ${CMAKE_SOURCE_DIR}/app/brask2.rc)
target_link_libraries(dialogs_tests PRIVATE brask_shell gtest gtest_main test_support)
add_dependencies(dialogs_tests victim)
add_test(NAME dialogs_tests COMMAND dialogs_tests)
target_sources(dialogs_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/save_rules_test.cpp)
