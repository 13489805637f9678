# The application shell: the real brask2.exe driven from this process under
# Wine, with stand-ins for brask2.dll for its failed starts; and the main
# dialog, MainWindow and the crash filter in this process.
foreach(variant marking=1 refusing=2)
    string(REPLACE "=" ";" parts ${variant})
    list(GET parts 0 name)
    list(GET parts 1 number)
    add_library(test_hook_${name} SHARED ${CMAKE_CURRENT_LIST_DIR}/test_hook.cpp)
    set_target_properties(test_hook_${name} PROPERTIES PREFIX "")
    target_compile_definitions(test_hook_${name} PRIVATE HOOK_VARIANT=${number})
    target_link_libraries(test_hook_${name} PRIVATE kernel32)
    list(APPEND test_hooks test_hook_${name})
endforeach()

add_executable(app_tests
    ${CMAKE_CURRENT_LIST_DIR}/app_test.cpp
    ${CMAKE_SOURCE_DIR}/app/brask2.rc)
target_link_libraries(app_tests PRIVATE brask_shell gtest gtest_main test_support)
add_dependencies(app_tests brask2_exe brask2_dll victim ${test_hooks})
add_test(NAME app_tests COMMAND app_tests)
target_sources(app_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/win_main_test.cpp)
