#include <gtest/gtest.h>

#include <QApplication>

#include "base/translation.h"

int main(int argc, char** argv) {
    // Also when CTest lists the tests: no display is needed or wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // The language comes from the environment, as in the program (CTest pins it).
    kresograf::InitTranslations(KRESOGRAF_CATALOGUE_ROOT);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
