#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// main() of a QtTest program: each run gets a private settings folder, so tests never share
// settings with each other or touch the user's.
#define TRELVIN_TEST_MAIN(TestClass)                                                                       \
    int main(int argc, char** argv)                                                                        \
    {                                                                                                      \
        QTemporaryDir config;                                                                              \
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());                                           \
        QApplication app(argc, argv);                                                                      \
        TestClass test;                                                                                    \
        return QTest::qExec(&test, argc, argv);                                                            \
    }
