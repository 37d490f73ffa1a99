# The Windows zip: the three console programs side by side with a README, nothing else. Each
# program carries its runtime (a static link), so the folder runs wherever it is unpacked.
install(TARGETS qtkcli dfv_k7720x qtkdemo RUNTIME DESTINATION .)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)

# qtktool goes into a zip of its own with the Qt libraries it loads (scripts/windows-qt.sh
# packs it from this component and the files above): the console zip stays the three
# self-contained programs.
if(QTK_BUILD_GUI)
  install(TARGETS qtktool RUNTIME DESTINATION . COMPONENT gui EXCLUDE_FROM_ALL)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/README-qtktool.txt.in README-qtktool.txt @ONLY
    NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README-qtktool.txt DESTINATION .
    COMPONENT gui EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME qtk7720x)
set(CPACK_PACKAGE_VENDOR "qtk7720x")
set(CPACK_PACKAGE_FILE_NAME qtk7720x-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES ON)
include(CPack)
