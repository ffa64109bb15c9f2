// One QApplication for every widget suite.
#include <QApplication>
#include <gtest/gtest.h>

#include "support/FontSet.h"
#include "support/Fonts.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    loadFontConfiguration();  // as the program reads it
    QApplication app(argc, argv);
    app.setFont(japaneseFont(13));  // as the program sets it
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
