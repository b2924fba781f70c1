# Helpers shared by the project's libraries and test suites.

# Warnings for our own code only; third-party headers come in as system headers.
function(pelko_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# A shared library from <dir>/src/*.cpp with public headers under <dir>/include.
#   pelko_library(<target> [LINKS <libs>...] [PRIVATE_LINKS <libs>...])
function(pelko_library target)
    cmake_parse_arguments(ARG "" "" "LINKS;PRIVATE_LINKS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/include/*.h)
    add_library(${target} SHARED ${sources} ${headers})
    target_include_directories(${target} PUBLIC
        $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>)
    target_link_libraries(${target} PUBLIC ${ARG_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})
    pelko_warnings(${target})
endfunction()

# One test program per file <dir>/tests/*.cpp, each registered with CTest under <label>.
#   pelko_tests(<label> LINKS <libs>... [ENVIRONMENT <vars>...])
function(pelko_tests label)
    if(NOT BUILD_TESTING)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "LINKS;ENVIRONMENT" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    foreach(file ${tests})
        get_filename_component(name ${file} NAME_WE)
        set(exe ${label}_${name})
        add_executable(${exe} ${file})
        target_link_libraries(${exe} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gtest_main GTest::gmock)
        target_compile_definitions(${exe} PRIVATE
            TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
        set_target_properties(${exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
        pelko_warnings(${exe})
        add_test(NAME ${label}.${name} COMMAND ${exe})
        set_tests_properties(${label}.${name} PROPERTIES LABELS ${label} TIMEOUT 300
            ENVIRONMENT "${ARG_ENVIRONMENT}")
    endforeach()
endfunction()
