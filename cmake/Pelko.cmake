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

# Designer forms of <target>: each <name>.ui gives ui_<name>.h in the current binary folder, which the
# target and whatever links it include.
#   pelko_forms(<target> <ui files>...)
function(pelko_forms target)
    # Not AUTOUIC: CMake 3.25 names its headers wrongly to Ninja, so a form edit recompiled nothing.
    qt5_wrap_ui(headers ${ARGN})
    target_sources(${target} PRIVATE ${ARGN} ${headers})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_BINARY_DIR})
    # Form headers AUTOUIC wrote into a build folder before would come first on the include path.
    file(GLOB stale ${CMAKE_CURRENT_BINARY_DIR}/*_autogen/include/ui_*.h)
    if(stale)
        file(REMOVE ${stale})
    endif()
endfunction()

# Registers the test program <exe> (kind gtest or qtest) with CTest as <label>.<name>. A program named in
# <split> runs for minutes under the sanitizers: it gets one entry <label>.<name>.<case> per case (a QtTest
# case is a function, or function:tag for each row of a data-driven one), so that it spreads over the
# cores. Its cases are listed after each link of the program: new ones join by themselves.
#   pelko_add_test(<exe> <label> <name> <kind> <environment> <split>)
function(pelko_add_test exe label name kind environment split)
    if(NOT name IN_LIST split)
        add_test(NAME ${label}.${name} COMMAND ${exe})
        set_tests_properties(${label}.${name} PROPERTIES LABELS ${label} TIMEOUT 300
            ENVIRONMENT "${environment}")
        return()
    endif()
    set(cases ${CMAKE_CURRENT_BINARY_DIR}/${exe}_cases.cmake)
    add_custom_command(TARGET ${exe} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${exe}> -DKIND=${kind} -DOUT=${cases}
            -P ${PROJECT_SOURCE_DIR}/cmake/PelkoCases.cmake
        BYPRODUCTS ${cases} VERBATIM)
    set(select "\${case}")
    if(kind STREQUAL "gtest")
        set(select "--gtest_filter=\${case}")
    endif()
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${exe}_tests.cmake)
    file(GENERATE OUTPUT ${script} CONTENT "function(pelko_case case)
    add_test(\"${label}.${name}.\${case}\" \"$<TARGET_FILE:${exe}>\" \"${select}\")
    set_tests_properties(\"${label}.${name}.\${case}\" PROPERTIES LABELS ${label} TIMEOUT 300
        ENVIRONMENT \"${environment}\")
endfunction()
if(EXISTS \"${cases}\")
    include(\"${cases}\")
else()
    add_test(${label}.${name}_NOT_BUILT ${label}.${name}_NOT_BUILT)
endif()
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# One test program per file <dir>/tests/*.cpp, each registered with CTest under <label>; the programs
# named after SPLIT get one entry per case.
#   pelko_tests(<label> LINKS <libs>... [ENVIRONMENT <vars>...] [SPLIT <names>...])
function(pelko_tests label)
    if(NOT BUILD_TESTING)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "LINKS;ENVIRONMENT;SPLIT" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    foreach(file ${tests})
        get_filename_component(name ${file} NAME_WE)
        set(exe ${label}_${name})
        add_executable(${exe} ${file})
        target_link_libraries(${exe} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gtest_main GTest::gmock)
        target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR}/testsupport)
        target_compile_definitions(${exe} PRIVATE
            TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
        set_target_properties(${exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
        pelko_warnings(${exe})
        pelko_add_test(${exe} ${label} ${name} gtest "${ARG_ENVIRONMENT}" "${ARG_SPLIT}")
    endforeach()
endfunction()

# One QtTest program per file <dir>/tests/*.cpp, each registered with CTest under <label>. The tests
# run offscreen in the C.UTF-8 locale; each program gives itself a private settings folder
# (TRELVIN_TEST_MAIN in testsupport/qttestmain.h).
#   pelko_qt_tests(<label> LINKS <libs>... [ENVIRONMENT <vars>...] [SPLIT <names>...])
function(pelko_qt_tests label)
    if(NOT BUILD_TESTING)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "LINKS;ENVIRONMENT;SPLIT" ${ARGN})
    find_package(Qt5 REQUIRED COMPONENTS Test Widgets)
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    foreach(file ${tests})
        get_filename_component(name ${file} NAME_WE)
        set(exe ${label}_${name})
        add_executable(${exe} ${file})
        set_target_properties(${exe} PROPERTIES AUTOMOC ON
            RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
        target_link_libraries(${exe} PRIVATE ${ARG_LINKS} Qt5::Test Qt5::Widgets)
        target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR}/testsupport)
        target_compile_definitions(${exe} PRIVATE
            TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data"
            SHARED_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/testsupport/data"
            TEST_BINARY_DIR="${PROJECT_BINARY_DIR}")
        pelko_warnings(${exe})
        pelko_add_test(${exe} ${label} ${name} qtest
            "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;${ARG_ENVIRONMENT}" "${ARG_SPLIT}")
    endforeach()
endfunction()
