# Runs the layers check on small trees, one include each: every spelling that reaches up must fail it,
# includes within the layers must pass.
#   cmake -DCHECK=<layers.cmake> -DWORK=<scratch folder> -P layers_cases.cmake
set(failures "")

# Writes SRC with shell/x.h, framework/b.h, document/d.h, alignment/y.h and the file `where` holding
# `text`, runs the check and compares its outcome with `expect` (PASS or FAIL).
function(layers_case name expect where text)
    set(src "${WORK}/${name}/src")
    file(REMOVE_RECURSE "${WORK}/${name}")
    foreach(header shell/x.h framework/b.h document/d.h alignment/y.h)
        file(WRITE "${src}/${header}" "#pragma once\n")
    endforeach()
    file(WRITE "${src}/${where}" "${text}")
    foreach(extra ${ARGN})
        file(WRITE "${src}/${extra}" "#pragma once\n")
    endforeach()
    execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${src} -P ${CHECK}
                    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE output)
    if(rc EQUAL 0)
        set(outcome PASS)
    else()
        set(outcome FAIL)
    endif()
    if(NOT outcome STREQUAL expect)
        set(failures "${failures}  ${name}: expected ${expect}, got ${outcome}\n${output}" PARENT_SCOPE)
    endif()
endfunction()

# Reaching up from the framework to the shell, however it is written.
layers_case(quoted FAIL framework/a.cpp "#include \"shell/x.h\"\n")
layers_case(angled FAIL framework/a.cpp "#include <shell/x.h>\n")
layers_case(parent FAIL framework/a.cpp "#include \"../shell/x.h\"\n")
layers_case(spaced_hash FAIL framework/a.cpp "#  include \"shell/x.h\"\n")
layers_case(two_spaces FAIL framework/a.cpp "#include  \"shell/x.h\"\n")
layers_case(tab FAIL framework/a.cpp "#include\t<shell/x.h>\n")
layers_case(no_space FAIL framework/a.cpp "#include\"shell/x.h\"\n")
layers_case(indented FAIL framework/a.cpp "int a;\n    #include \"shell/x.h\"\n")
layers_case(dotted FAIL framework/a.cpp "#include \"./../framework/../shell/x.h\"\n")
layers_case(spliced FAIL framework/a.cpp "#include \\\n    \"shell/x.h\"\n")
layers_case(digraph FAIL framework/a.cpp "%:include \"shell/x.h\"\n")
layers_case(crlf FAIL framework/a.cpp "#include <QString>\r\n#include \"shell/x.h\"\r\n")
layers_case(second_line FAIL framework/a.h "#pragma once\n#include \"framework/b.h\"\n#include <shell/x.h>\n")
layers_case(nested FAIL framework/parts/a.cpp "#include \"../../shell/x.h\"\n")
layers_case(editor_up FAIL alignment/a.cpp "#include <shell/x.h>\n")
layers_case(document_up FAIL document/a.cpp "#include \"../framework/b.h\"\n")
layers_case(not_there FAIL framework/a.cpp "#include \"../shell/missing.h\"\n")

# Within the layers, and names that are not the program's.
layers_case(down PASS shell/a.cpp
            "#include \"alignment/y.h\"\n#include <framework/b.h>\n#include \"../document/d.h\"\n")
layers_case(own_folder PASS framework/a.cpp "#include \"b.h\"\n#include \"framework/b.h\"\n")
layers_case(outside PASS framework/a.cpp
            "#include <QWidget>\n#include <road/roadsurface.h>\n#include \"ui_form.h\"\n#include <cmath>\n")
# A quoted name is found beside the including file before the include folder.
layers_case(found_beside PASS framework/a.cpp "#include \"shell/x.h\"\n" framework/shell/x.h)
layers_case(not_a_directive PASS framework/a.cpp "// #include \"shell/x.h\"\nint include;\n")

if(failures)
    message(FATAL_ERROR "the layers check judged these trees wrongly:\n${failures}")
endif()
