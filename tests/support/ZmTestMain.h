#pragma once

#include "WaitUntil.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>

namespace ZmTest {

// Points HOME and the XDG folders at a fresh temporary folder (removed at exit), hides the desktop's message
// buses and sets the environment the embedded browser needs; with gui, the forms' font falls back as the
// program's does. Must run before the application object exists.
void prepareEnvironment(bool gui);

// The source and build trees, as CTest passes them.
QString sourceDir();
QString buildDir();
QString programDir();

// The arguments for QTest::qExec: the command line's, and when the environment's ZM_TEST_PART
// ("<part>/<parts>") names a part and the command line names nothing, every parts-th test function of test, from
// the part-th on, so that CTest runs the parts of a long test side by side.
QStringList testArguments(const QObject& test, int argc, char** argv);

} // namespace ZmTest

// A test main with a QApplication: widget and browser tests.
#define ZM_TEST_MAIN(TestObject)                                                                                       \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        ZmTest::prepareEnvironment(true);                                                                              \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, ZmTest::testArguments(tc, argc, argv));                                               \
    }

// A test main with a QCoreApplication: everything without windows.
#define ZM_TEST_MAIN_CORE(TestObject)                                                                                  \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        ZmTest::prepareEnvironment(false);                                                                             \
        QCoreApplication app(argc, argv);                                                                              \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, ZmTest::testArguments(tc, argc, argv));                                               \
    }
