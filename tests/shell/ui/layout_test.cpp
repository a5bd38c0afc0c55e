// Every window as it opens shows the whole of its wrapped texts: a label
// given fewer lines than its text needs cuts the teacher's instructions off.

#include "TestSupport.h"
#include "shell/Windows.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using shell::Windows;

TEST(WindowLayout, WrappedTextsGetAllTheirLines) {
    testing_support::DataFolder folder;
    QStringList names = Windows::knownNames();
    names << QStringLiteral("frmImport");
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QWidget* w = Windows::instance().open(name);
        ASSERT_TRUE(w);
        if (!w->isVisible()) continue; // the tray's hidden window
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        // The capture window says how to get an address once its box is
        // empty again.
        if (auto* address = w->findChild<QLineEdit*>(QStringLiteral("txtAddress"))) {
            address->setText(QStringLiteral("http://www.pep.com.cn/"));
            address->clear();
            QCoreApplication::processEvents();
        }
        for (QLabel* l : w->findChildren<QLabel*>()) {
            if (!l->isVisibleTo(w) || !l->wordWrap() || l->text().isEmpty()) continue;
            EXPECT_GE(l->height(), l->heightForWidth(l->width()))
                << l->objectName().toStdString() << ": " << l->text().toStdString();
        }
    }
    for (const QString& name : Windows::instance().loadedNames())
        Windows::instance().unload(name);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
