# The application shell: the real brask2.exe driven from this process under
# Wine (start, hand-over, failures, ending, commands), and MainWindow, the
# About box, the failure box and the compiled resources in-process.
foreach(variant planted=1 no_install=2 no_release=3 refuse=4 refuse_unknown=5 probe=6)
    string(REPLACE "=" ";" parts ${variant})
    list(GET parts 0 name)
    list(GET parts 1 number)
    add_library(test_hook_${name} SHARED ${CMAKE_CURRENT_LIST_DIR}/test_hook.cpp)
    set_target_properties(test_hook_${name} PROPERTIES PREFIX "")
    target_compile_definitions(test_hook_${name} PRIVATE HOOK_VARIANT=${number})
    target_link_libraries(test_hook_${name} PRIVATE user32 kernel32)
    list(APPEND test_hooks test_hook_${name})
endforeach()

add_executable(app_tests
    ${CMAKE_CURRENT_LIST_DIR}/black_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shutdown_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/commands_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/resources_test.cpp
    ${CMAKE_SOURCE_DIR}/app/brask2.rc)
target_link_libraries(app_tests PRIVATE brask_app gtest gtest_main test_support)
add_dependencies(app_tests brask2_exe brask2_dll victim ${test_hooks})
add_test(NAME app_tests COMMAND app_tests)
