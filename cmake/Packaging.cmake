# What an installation holds: the program, its library, the README and the licence in one
# folder. The portable zip of the same (scripts/dist.sh, `make dist`) runs from wherever it is
# unzipped: the library's class is found through the program's manifest, with nothing registered.
install(TARGETS brdwall brdsave RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)
