# One build after an edit of a form, a resource or a moc'd header must rebuild everything built from it.
# Builds a small project with a form (through pelko_forms), a .qrc and a Q_OBJECT header, whose library
# and program both include the form's header, edits all three, builds once and looks for the new texts
# in the program. Then checks the same of the real build's form headers.
#   cmake -DPELKO=<Pelko.cmake> -DWORK=<scratch folder> -DGENERATOR=<generator> -DMAKE_PROGRAM=<build tool>
#         -DCXX=<compiler> -DBUILD=<the project's build folder> -P forms_rebuild.cmake
file(REMOVE_RECURSE "${WORK}")

file(WRITE "${WORK}/src/CMakeLists.txt" "cmake_minimum_required(VERSION 3.18)
project(probe LANGUAGES CXX)
find_package(Qt5 REQUIRED COMPONENTS Widgets)
include(${PELKO})
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
add_library(probe STATIC lib/probe.cpp lib/probe.h lib/object.cpp lib/object.h resources/probe.qrc)
pelko_forms(probe \${CMAKE_CURRENT_SOURCE_DIR}/forms/probe.ui)
target_include_directories(probe PUBLIC lib)
target_link_libraries(probe PUBLIC Qt5::Widgets)
add_executable(main main.cpp)
target_link_libraries(main PRIVATE probe)
")
file(WRITE "${WORK}/src/forms/probe.ui" [[<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Probe</class>
 <widget class="QWidget" name="Probe">
  <layout class="QVBoxLayout" name="layout">
   <item>
    <widget class="QLabel" name="label">
     <property name="text">
      <string>form-text-before</string>
     </property>
    </widget>
   </item>
  </layout>
 </widget>
 <resources/>
 <connections/>
</ui>
]])
file(WRITE "${WORK}/src/resources/probe.qrc" [[<!DOCTYPE RCC>
<RCC version="1.0">
    <qresource prefix="/probe">
        <file>probe.txt</file>
    </qresource>
</RCC>
]])
file(WRITE "${WORK}/src/resources/probe.txt" "resource-text-before")
file(WRITE "${WORK}/src/lib/probe.h" [[#pragma once
class QWidget;
void buildProbe(QWidget *widget);
int probeMethods();
]])
file(WRITE "${WORK}/src/lib/probe.cpp" [[#include "probe.h"
#include "ui_probe.h"
void buildProbe(QWidget *widget)
{
    Q_INIT_RESOURCE(probe);
    Ui::Probe ui;
    ui.setupUi(widget);
}
]])
# Only its own source includes the moc'd header, so that its edit recompiles nothing else by itself.
file(WRITE "${WORK}/src/lib/object.h" [[#pragma once
#include <QObject>
class Object : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void slotBefore() {}
};
]])
file(WRITE "${WORK}/src/lib/object.cpp" [[#include "object.h"
#include "probe.h"
int probeMethods()
{
    return Object::staticMetaObject.methodCount();
}
]])
# A second target that includes the form's header, as the program's tests do.
file(WRITE "${WORK}/src/main.cpp" [[#include "probe.h"
#include "ui_probe.h"
#include <QApplication>
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget widget;
    Ui::Probe ui;
    ui.setupUi(&widget);
    buildProbe(&widget);
    return probeMethods() > 0 ? 0 : 1;
}
]])

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed:\n${out}")
    endif()
endfunction()

run(${CMAKE_COMMAND} -S "${WORK}/src" -B "${WORK}/build" -G "${GENERATOR}"
    -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM} -DCMAKE_CXX_COMPILER=${CXX})
run(${CMAKE_COMMAND} --build "${WORK}/build")
# The edits must be younger than the outputs where file times keep whole seconds.
execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1)

foreach(edit "forms/probe.ui;form-text-before;form-text-after"
             "resources/probe.txt;resource-text-before;resource-text-after"
             "lib/object.h;slotBefore;slotAfter")
    list(GET edit 0 file)
    list(GET edit 1 before)
    list(GET edit 2 after)
    file(READ "${WORK}/src/${file}" text)
    string(REPLACE "${before}" "${after}" text "${text}")
    file(WRITE "${WORK}/src/${file}" "${text}")
endforeach()
run(${CMAKE_COMMAND} --build "${WORK}/build")

set(pattern "form-text-[a-z]+|resource-text-[a-z]+|slot[A-Z][a-z]+")
file(STRINGS "${WORK}/build/main" found REGEX "${pattern}")
string(REGEX MATCHALL "${pattern}" found "${found}")
list(REMOVE_DUPLICATES found)
list(SORT found)
if(NOT found STREQUAL "form-text-after;resource-text-after;slotAfter")
    message(FATAL_ERROR "one build after the edits left the program with: ${found}")
endif()

# The real build: every ui_*.h that an object of the build was compiled against must be known to Ninja
# as an output of a step, else one build after a form edit regenerates it and recompiles nothing.
if(BUILD AND GENERATOR MATCHES "Ninja")
    execute_process(COMMAND ${MAKE_PROGRAM} -C "${BUILD}" -t deps
                    COMMAND awk "/^[^ ]/ { object = $1 } /\\/ui_[^\\/]*\\.h$/ { print object, $1 }"
                    COMMAND sort -u OUTPUT_VARIABLE pairs OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REPLACE "\n" ";" pairs "${pairs}")
    set(headers ${pairs})
    list(TRANSFORM headers REPLACE ".* " "")
    list(REMOVE_DUPLICATES headers)
    # One query for all, as a rule (each output tells the step that writes it); one each to name a fault.
    execute_process(COMMAND ${MAKE_PROGRAM} -C "${BUILD}" -t query ${headers} OUTPUT_VARIABLE out ERROR_QUIET)
    string(REGEX MATCHALL "\n  input:" written "\n${out}")
    list(LENGTH headers count)
    list(LENGTH written found)
    if(NOT found EQUAL count)
        foreach(pair ${pairs})
            string(REGEX REPLACE ": .*" "" object "${pair}")
            string(REGEX REPLACE ".* " "" header "${pair}")
            execute_process(COMMAND ${MAKE_PROGRAM} -C "${BUILD}" -t query "${header}"
                            OUTPUT_VARIABLE out ERROR_QUIET)
            # The deps log may still hold objects of targets gone from the build.
            execute_process(COMMAND ${MAKE_PROGRAM} -C "${BUILD}" -t query "${object}"
                            OUTPUT_VARIABLE live ERROR_QUIET)
            if(NOT out MATCHES "\n  input:" AND live MATCHES "\n  input:")
                message(FATAL_ERROR "${object} is compiled against ${header}, which no build step writes")
            endif()
        endforeach()
    endif()
endif()
