#include "test_flowers.h"
#include "test_windows.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failed = 0;
    {
        TestFlowers flowers;
        failed += QTest::qExec(&flowers, argc, argv);
    }
    {
        TestWindows windows;
        failed += QTest::qExec(&windows, argc, argv);
    }
    return failed;
}
