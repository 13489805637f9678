# brask2.dll through its exports, against windows of this test, of the victim
# and of hook_holder, a second program that holds the hook.
add_executable(hook_holder WIN32 hook_holder.cpp)
target_include_directories(hook_holder PRIVATE ${CMAKE_SOURCE_DIR})

add_executable(hook_tests hook_tests.cpp)
target_link_libraries(hook_tests PRIVATE gtest gtest_main test_support)
# Loaded by name from beside the test, as the program loads it.
add_dependencies(hook_tests brask2_dll victim hook_holder)
add_test(NAME hook_tests COMMAND hook_tests)
