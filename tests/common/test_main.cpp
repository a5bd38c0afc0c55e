#include "WidgetSupport.h"
#include "app/AllWindows.h"
#include "shell/ui/DocServices.h"
#include "shell/ui/MessageBox.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {
classes::ClassState* g_classes = nullptr;
}

classes::ClassState& testing_support::programClasses() {
    return *g_classes;
}

// Window tests run real widgets on the offscreen platform; message boxes go
// through the test seam so that no modal loop ever blocks a test, and the
// desktop's "open" only records its path, so no test starts another program.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    classes::ClassState classes;
    g_classes = &classes;
    app::registerAllWindows(classes);
    shell::MessageBox::setTestMode(true);
    shell::setShellOpenTestMode(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
