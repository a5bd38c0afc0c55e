#include "TestSupport.h"
#include "WidgetSupport.h"
#include "classes/model/ClassFiles.h"
#include "classes/model/ClassState.h"
#include "classes/ui/frmOpenDatabase.h"
#include "shell/Windows.h"
#include "shell/ui/MessageBox.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

using classes::frmOpenDatabase;
using Purpose = frmOpenDatabase::Purpose;
using testing_support::child;

namespace {

class ClassWindow : public ::testing::Test {
protected:
    testing_support::DataFolder folder;
    std::unique_ptr<QWidget> caller = std::make_unique<QWidget>();

    void SetUp() override {
        shell::MessageBox::takeShown();
        caller->setObjectName(QStringLiteral("someCaller"));
        caller->show();
    }
    void TearDown() override {
        shell::Windows::instance().unload(QStringLiteral("frmOpenDatabase"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        shell::MessageBox::takeShown();
    }
    static QPushButton* button(frmOpenDatabase* d, Purpose p, int i) {
        const bool comment = p == Purpose::CommentNew || p == Purpose::CommentOpenWorking ||
                             p == Purpose::CommentOpenReference;
        return child<QPushButton>(d,
                                  QStringLiteral("%1(%2)").arg(comment ? "cmdFileYN" : "cmdFileCjYN").arg(i));
    }
};

// The window keeps its caller waiting, whoever the caller is, and lets it
// go however it ends; only the reference pick leaves the caller usable.
TEST_F(ClassWindow, CallerWaitsUntilTheClassIsHandedBackOrTheWindowCloses) {
    ASSERT_TRUE(classes::ClassFiles::create(QStringLiteral("初一1班"), false));
    struct Case {
        Purpose purpose;
        bool waits;
        int action; // 1 新建, 2 打开
        classes::ClassState::Taker taker;
    };
    using Taker = classes::ClassState::Taker;
    const Case cases[] = {
        {Purpose::ScoreNew, true, 1, Taker::Scores},
        {Purpose::ScoreOpen, true, 2, Taker::Scores},
        {Purpose::CommentNew, true, 1, Taker::CommentWorking},
        {Purpose::CommentOpenWorking, true, 2, Taker::CommentWorking},
        {Purpose::CommentOpenReference, false, 2, Taker::CommentReference},
    };
    int made = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.purpose));
        // Cancelled.
        frmOpenDatabase* d = frmOpenDatabase::openFor(c.purpose, caller.get());
        ASSERT_TRUE(d);
        EXPECT_EQ(caller->isEnabled(), !c.waits);
        button(d, c.purpose, 0)->click();
        EXPECT_TRUE(caller->isEnabled());

        // Handed back: the caller is usable again when it hears of the class.
        d = frmOpenDatabase::openFor(c.purpose, caller.get());
        ASSERT_TRUE(d);
        bool enabledWhenHanded = false;
        QObject::connect(d, &frmOpenDatabase::handedBack, caller.get(),
                         [&] { enabledWhenHanded = caller->isEnabled(); });
        const QString name = c.action == 1 ? QStringLiteral("新班%1").arg(++made) : QStringLiteral("初一1班");
        if (c.action == 1)
            child<QLineEdit>(d, QStringLiteral("txtFileName"))->setText(name);
        else
            d->pick(1);
        button(d, c.purpose, c.action)->click();
        EXPECT_EQ(shell::MessageBox::takeShown(), QStringList());
        EXPECT_TRUE(enabledWhenHanded);
        EXPECT_TRUE(caller->isEnabled());
        EXPECT_TRUE(testing_support::programClasses().isOpen(c.taker, QString()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A caller that goes away while the window is open is not touched again.
TEST_F(ClassWindow, ACallerClosedMeanwhileIsLeftAlone) {
    frmOpenDatabase* d = frmOpenDatabase::openFor(Purpose::ScoreOpen, caller.get());
    ASSERT_TRUE(d);
    caller.reset();
    d->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(shell::Windows::instance().find(QStringLiteral("frmOpenDatabase")));
}

} // namespace
