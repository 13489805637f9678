# The release for Windows users: Tarnwick-II-<version>-win32.zip with one
# folder of that name holding the program, its hook library, the README and
# the license in Windows line ends, and the example rules. scripts/package
# builds the Release program and runs `cpack -G ZIP` on this tree.

# By file rather than install(TARGETS): the hook library's import library
# has no place beside a program that nobody links against.
install(FILES $<TARGET_FILE:brask2_exe> $<TARGET_FILE:brask2_dll> DESTINATION .)

# Shipped as example.rul, not brask2.rul: unpacked over an older copy, the
# zip must not replace the user's own rules.
install(FILES ${PROJECT_SOURCE_DIR}/examples/brask2.rul DESTINATION . RENAME example.rul)

# Line ends made CRLF here too, whatever the checkout did to them.
set(brask_package_texts ${CMAKE_BINARY_DIR}/package-texts)
configure_file(${PROJECT_SOURCE_DIR}/docs/windows/README.txt ${brask_package_texts}/README.txt
    @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${brask_package_texts}/LICENSE.txt
    @ONLY NEWLINE_STYLE CRLF)
install(FILES ${brask_package_texts}/README.txt ${brask_package_texts}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tarnwick-II)
set(CPACK_PACKAGE_VENDOR "The Tarnwick II developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package-out)
include(CPack)
