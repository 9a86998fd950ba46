# GoogleTest: the installed package where there is one for this target,
# otherwise built from sources (Debian's googletest package for the cross-build).
include(GoogleTest)

set(BRD_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources, used when no installed package fits")

if(NOT CMAKE_CROSSCOMPILING)
    find_package(GTest QUIET)
endif()

if(NOT TARGET GTest::gtest)
    if(NOT EXISTS "${BRD_GTEST_SOURCE_DIR}/CMakeLists.txt")
        message(FATAL_ERROR "GoogleTest not found: install it or set BRD_GTEST_SOURCE_DIR")
    endif()
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${BRD_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
    foreach(t gtest gtest_main)
        # GoogleTest's own sources are not held to our warning flags.
        target_compile_options(${t} PRIVATE -w)
    endforeach()
endif()
