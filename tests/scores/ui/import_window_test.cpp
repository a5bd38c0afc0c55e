// "导入(&I)..." in the score window: only with a class open; the file
// through the file dialog, the columns guessed in the import window, the
// problems confirmed, a backup first, the result in the score grid.
#include "ScoreWindowFixture.h"
#include "scores/ui/frmImport.h"
#include "shell/core/AppPaths.h"
#include "shell/core/Backups.h"
#include "shell/ui/FileDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

// Reads run away from the window; on a loaded machine one may take seconds.
constexpr int kReadWait = 30000;

class ImportWindow : public ScoreWindow {
protected:
    void SetUp() override {
        ScoreWindow::SetUp();
        createClass(QStringLiteral("初三2班"));
        for (const char* s : {"语文", "数学"})
            ASSERT_TRUE(w->model().addSubject(QString::fromUtf8(s), "100").ok);
        ASSERT_TRUE(w->model().addStudent(QStringLiteral("张三"), QStringLiteral("1001")));
        shell::MessageBox::takeShown();
    }
    void TearDown() override {
        shell::Windows::instance().unload(QStringLiteral("frmImport"));
        shell::FileDialog::clearNextFileNames();
        ScoreWindow::TearDown();
    }
    QString csv(const QByteArray& bytes) {
        const QString path = files.filePath(QStringLiteral("名单.csv"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    scores::frmImport* importWindow() {
        return qobject_cast<scores::frmImport*>(shell::Windows::instance().find(QStringLiteral("frmImport")));
    }
    // The file is read away from the window: until it is in (or refused and
    // the window gone).
    bool readOrGone() {
        return testing_support::waitFor(
            [this] {
                scores::frmImport* d = importWindow();
                return !d || !d->reading();
            },
            kReadWait);
    }
    QTemporaryDir files;
};

TEST_F(ImportWindow, GuessedColumnsConfirmedProblemsAndTheResultShown) {
    EXPECT_EQ(w->entry(QStringLiteral("mFileIn"))->text(), QStringLiteral("导入(&I)..."));
    EXPECT_TRUE(w->entry(QStringLiteral("mFileIn"))->isEnabled());
    w->show();
    shell::FileDialog::setNextFileName(csv(QStringLiteral("姓名;学号;数学;班主任\n"
                                                          "李四;1002;77;王老师\n"
                                                          "张三;1001;88;王老师\n"
                                                          "王五;1003;缺考;王老师\n")
                                               .toUtf8()));
    menu("mFileIn");
    ASSERT_TRUE(readOrGone());
    scores::frmImport* d = importWindow();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("导入学生名单和成绩"));
    EXPECT_FALSE(w->isEnabled()); // the score window waits
    EXPECT_TRUE(get<QCheckBox>(d, "cheHeading")->isChecked());
    QStringList guessed;
    for (int c = 0; c < 4; ++c)
        guessed << d->columnCombo(c)->currentText();
    EXPECT_EQ(guessed, (QStringList{"姓名", "学号", "数学", "不导入"}));
    auto* preview = get<QTableWidget>(d, "msfgImport");
    EXPECT_EQ(preview->item(2, 0)->text(), QStringLiteral("李四"));
    d->resize(1000, 560);
    d->show();
    if (qEnvironmentVariableIsSet("VELTRANO_SHOTS"))
        d->grab().save(QStringLiteral("/tmp/import_frmImport.png"));

    // The list of problems, answered "否": nothing written, the window stays.
    shell::MessageBox::setNextAnswer(shell::MessageBox::No);
    get<QPushButton>(d, "cmdImport(0)")->click();
    QStringList shown = shell::MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("第4行：“数学”的成绩“缺考”不是数字")))
        << qPrintable(shown[0]);
    EXPECT_TRUE(shell::backups::list(shell::AppPaths::dataDir()).isEmpty());
    EXPECT_EQ(names(), QStringList{QStringLiteral("张三")});
    ASSERT_EQ(importWindow(), d);

    shell::MessageBox::setNextAnswer(shell::MessageBox::Yes);
    get<QPushButton>(d, "cmdImport(0)")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    shown = shell::MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1], QStringLiteral("导入完成：新增1位学生，更新1位学生！"));
    EXPECT_EQ(importWindow(), nullptr);
    EXPECT_TRUE(w->isEnabled());
    // A backup was made before the import.
    EXPECT_EQ(shell::backups::list(shell::AppPaths::dataDir()).size(), 1);
    // The score table shows both students with their marks.
    EXPECT_EQ(names(), (QStringList{"张三", "李四"}));
    EXPECT_EQ(cell(1, 4), QStringLiteral("88"));
    EXPECT_EQ(cell(2, 4), QStringLiteral("77"));
}

TEST_F(ImportWindow, NoClassNoImportAndUnreadableFilesAreNamed) {
    shell::FileDialog::setNextFileName(files.filePath(QStringLiteral("名单.pdf")));
    QFile(files.filePath(QStringLiteral("名单.pdf"))).open(QIODevice::WriteOnly);
    menu("mFileIn");
    ASSERT_TRUE(testing_support::waitFor([this] { return importWindow() == nullptr; }, kReadWait));
    const QStringList shown = shell::MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("名单.pdf")));
    EXPECT_TRUE(w->isEnabled());

    menu("mFileQuit");
    EXPECT_FALSE(w->entry(QStringLiteral("mFileIn"))->isEnabled());
}

TEST_F(ImportWindow, FilesTooLargeOrBrokenAreToldAndTheReadCanBeStopped) {
    w->show();
    struct Case {
        const char* what;
        QByteArray bytes;
        QString shown;
    };
    QByteArray manyRows;
    for (int i = 0; i <= shell::TableLimits::kRows; ++i)
        manyRows += "1001,张三\n";
    const std::vector<Case> cases{
        {"too many rows", manyRows, shell::tooBigText(QStringLiteral("名单.csv"))},
        {"a quote never closed", QStringLiteral("学号,姓名\n1002,\"李四\n1003,王五\n").toUtf8(),
         QStringLiteral("文件“名单.csv”第2行的引号没有结束，没有导入任何内容，请检查后再导入！")},
        {"nothing in it", "\n\n", QStringLiteral("文件中没有可以导入的内容！")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        shell::FileDialog::setNextFileName(csv(c.bytes));
        menu("mFileIn");
        ASSERT_TRUE(testing_support::waitFor([this] { return importWindow() == nullptr; }, kReadWait));
        EXPECT_EQ(shell::MessageBox::takeShown(), QStringList{c.shown});
        EXPECT_TRUE(w->isEnabled());
        EXPECT_EQ(names(), QStringList{QStringLiteral("张三")});
    }

    // While the file is read the window shows how far it is and waits for
    // nothing but 取消, which stops the read: no message, nothing imported.
    shell::FileDialog::setNextFileName(csv("学号,姓名\n1002,李四\n"));
    menu("mFileIn");
    scores::frmImport* d = importWindow();
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->reading());
    EXPECT_TRUE(get<QProgressBar>(d, "prgRead")->isVisibleTo(d));
    EXPECT_FALSE(get<QPushButton>(d, "cmdImport(0)")->isEnabled());
    get<QPushButton>(d, "cmdImport(1)")->click();
    ASSERT_TRUE(testing_support::waitFor([this] { return importWindow() == nullptr; }, kReadWait));
    EXPECT_TRUE(shell::MessageBox::takeShown().isEmpty());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(names(), QStringList{QStringLiteral("张三")});
}

} // namespace
