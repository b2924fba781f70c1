# Writes the cases of a test program to OUT, one `pelko_case([==[<case>]==])` a line, for the CTest entries
# of a split program (pelko_add_test in Pelko.cmake): GoogleTest's Suite.Case, QtTest's function or
# function:tag. Run after each link of the program.
#   cmake -DEXE=<program> -DKIND=gtest|qtest -DOUT=<file> -P PelkoCases.cmake
# Listing is no test run: leaks at exit (Qt's offscreen plug-in keeps a few bytes) do not count.
set(ENV{ASAN_OPTIONS} detect_leaks=0)
set(ENV{QT_QPA_PLATFORM} offscreen)
if(KIND STREQUAL "gtest")
    execute_process(COMMAND ${EXE} --gtest_list_tests
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
else()
    execute_process(COMMAND ${EXE} -datatags RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${EXE} did not list its cases:\n${out}${err}")
endif()

# Line by line without CMake's lists, which would take a tag's ';' or '[' for their own.
set(cases "")
while(NOT out STREQUAL "")
    string(FIND "${out}" "\n" end)
    if(end EQUAL -1)
        set(line "${out}")
        set(out "")
    else()
        string(SUBSTRING "${out}" 0 ${end} line)
        math(EXPR end "${end} + 1")
        string(SUBSTRING "${out}" ${end} -1 out)
    endif()
    set(case "")
    if(KIND STREQUAL "gtest")
        # "Suite." heads its cases, each "  Case" (a parameterised one followed by "  # GetParam() = ...").
        if(line MATCHES "^([A-Za-z0-9_/]+\\.)")
            set(suite "${CMAKE_MATCH_1}")
        elseif(line MATCHES "^  ([A-Za-z0-9_/]+)")
            set(case "${suite}${CMAKE_MATCH_1}")
        endif()
    elseif(line MATCHES "^[A-Za-z0-9_:]+ ([A-Za-z0-9_]+)$")
        # "Class function", or "Class function tag" for each row of a data-driven function.
        set(case "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^[A-Za-z0-9_:]+ ([A-Za-z0-9_]+) (.+)$")
        set(case "${CMAKE_MATCH_1}:${CMAKE_MATCH_2}")
    endif()
    if(NOT case STREQUAL "")
        string(APPEND cases "pelko_case([==[${case}]==])\n")
    endif()
endwhile()
if(cases STREQUAL "")
    message(FATAL_ERROR "${EXE} listed no cases")
endif()
file(WRITE "${OUT}.new" "${cases}")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
