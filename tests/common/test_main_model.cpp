#include <gtest/gtest.h>

#ifdef VELTRANO_TEST_GUI_APP
#include <QGuiApplication>
using TestApp = QGuiApplication;
#else
#include <QCoreApplication>
using TestApp = QCoreApplication;
#endif

// Model tests run without widgets: a core application (a GUI one for the
// document layer, which measures fonts and draws pages offscreen).
int main(int argc, char** argv) {
#ifdef VELTRANO_TEST_GUI_APP
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
