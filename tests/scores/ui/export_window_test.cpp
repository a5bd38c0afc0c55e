#include "ScoreWindowFixture.h"
#include "XlsxReadBack.h"

#include "scores/model/ScoreExport.h"
#include "shell/docs/ExportFolder.h"
#include "shell/ui/DocServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

class ExportWindow : public ScoreWindow {
protected:
    void SetUp() override {
        ScoreWindow::SetUp();
        shell::takeShellOpened();
        createClass(QStringLiteral("初二5班"));
        for (const char* s : {"语文", "数学", "英语"})
            ASSERT_TRUE(w->model().addSubject(QString::fromUtf8(s), "100").ok);
        w->model().ShowScoreTable();
        shell::MessageBox::takeShown();
    }
    void TearDown() override {
        shell::takeShellOpened();
        ScoreWindow::TearDown();
    }
    QModelIndex current() const { return w->grid()->currentIndex(); }
};

TEST_F(ExportWindow, WritesOpensAndShowsTheFile) {
    w->show();
    w->grid()->setCurrentIndex(w->grid()->model()->index(1, 1));
    menu("mFileOut");

    const QStringList opened = shell::takeShellOpened();
    ASSERT_EQ(opened.size(), 1);
    const QString path = opened[0];
    EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(shell::exportFolder()).absolutePath());
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QStringLiteral("初二5班成绩表-")));
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{scores::msg::exported(path)});
    // The current cell is the grid's last cell.
    EXPECT_EQ(current().row(), 24);
    EXPECT_EQ(current().column(), 7);

    const auto b = testing_support::readXlsx(path);
    ASSERT_TRUE(b.ok()) << b.error.toStdString();
    EXPECT_EQ(b.dimensions, QStringLiteral("A5:H29"));
    EXPECT_EQ(b.value("B5").toString(), QStringLiteral("姓名"));
}

TEST_F(ExportWindow, AFailureIsOneMessageAndTheCurrentCellStays) {
    w->show();
    QFile blocker(shell::exportFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QModelIndex before = w->grid()->model()->index(2, 1);
    w->grid()->setCurrentIndex(before);
    menu("mFileOut");
    EXPECT_EQ(shell::MessageBox::takeShown(),
              QStringList{QStringLiteral("数据导出失败：无法建立导出文件夹“%1”（同名的文件占用了这个名字）！")
                              .arg(shell::exportFolder())});
    EXPECT_EQ(shell::takeShellOpened(), QStringList());
    EXPECT_EQ(current(), before);
}

TEST_F(ExportWindow, NoClassNoExport) {
    menu("mFileQuit");
    EXPECT_FALSE(w->entry(QStringLiteral("mFileOut"))->isEnabled());
    // Even when reached, nothing is written or opened.
    w->entry(QStringLiteral("mFileOut"))->setEnabled(true);
    menu("mFileOut");
    EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{scores::msg::kNoCommentLibrary});
    EXPECT_EQ(shell::takeShellOpened(), QStringList());
    EXPECT_FALSE(QFileInfo::exists(shell::exportFolder()));
}

} // namespace
