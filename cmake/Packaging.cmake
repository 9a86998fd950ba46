# The portable zip: the program, its library, the README and the licence in one
# folder. Unzipped anywhere, the program runs from there: the library's class is
# found through the program's manifest, with nothing registered.
install(TARGETS brdwall brdsave RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_NAME brdwall)
set(CPACK_PACKAGE_VENDOR "brdwall developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME brdwall-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/dist)
include(CPack)
