// The main function of the widget test programs: one QApplication for the whole run, made
// before the first test and gone before the program's static objects are torn down (Qt's
// own statics must still exist when it goes).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
