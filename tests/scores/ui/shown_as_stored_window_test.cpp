// The score window after students were added elsewhere: on coming back to
// it, and after an import through its own menu, the grid and the status bar
// show the class as stored.

#include "ScoreWindowFixture.h"
#include "scores/ui/frmImport.h"
#include "shell/ui/FileDialog.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

TEST_F(ScoreWindow, ImportAndWritesElsewhereShowTheClassAsStored) {
    createClass(QStringLiteral("初一5班"));
    ASSERT_TRUE(w->model().addSubject(QStringLiteral("语文"), QStringLiteral("100")).ok);
    EXPECT_EQ(w->statusPanel(2)->text(), QStringLiteral("共 0 位学生"));

    // An import of 40 students through the menu.
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("名单.csv"));
    QByteArray csv = "学号,姓名,语文\n";
    for (int i = 0; i < 40; ++i)
        csv += QStringLiteral("%1,学生%2,%3\n").arg(100 + i).arg(i).arg(60 + i).toUtf8();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(csv);
    }
    shell::FileDialog::setNextFileName(path);
    menu("mFileIn");
    auto importWindow = [] {
        return qobject_cast<scores::frmImport*>(shell::Windows::instance().find(QStringLiteral("frmImport")));
    };
    // The file is read away from the window.
    ASSERT_TRUE(QTest::qWaitFor([&] { return importWindow() && !importWindow()->reading(); }));
    scores::frmImport* d = importWindow();
    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    get<QPushButton>(d, QStringLiteral("cmdImport(0)"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    shell::FileDialog::clearNextFileNames();
    shell::MessageBox::takeShown();
    EXPECT_EQ(w->statusPanel(2)->text(), QStringLiteral("共 40 位学生"));
    EXPECT_EQ(cell(40, 1), QStringLiteral("学生39"));

    // Students written by another model of the same class (as the comment
    // writer does) show when the window is active again.
    classes::ClassState otherState;
    scores::ScoreModel other(otherState);
    ASSERT_TRUE(other.classOpened(QStringLiteral("初一5班")).ok);
    ASSERT_TRUE(other.addBatch("501", "2").ok);
    ASSERT_TRUE(other.deleteStudent("100").ok);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(w, &activate);
    EXPECT_EQ(w->statusPanel(2)->text(), QStringLiteral("共 41 位学生"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("学生1"));
    EXPECT_EQ(cell(41, 2), QStringLiteral("502"));
}
