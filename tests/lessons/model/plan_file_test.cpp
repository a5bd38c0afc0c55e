#include "lessons/model/PlanFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lessons;

namespace {
QByteArray gb18030(const QString& s) {
    QStringEncoder enc("GB18030");
    return enc.isValid() ? QByteArray(enc.encode(s)) : QByteArray();
}
} // namespace

TEST(PlanFile, DecodesUtf8OrGb18030) {
    const QString plan = QStringLiteral("教学目标：理解比喻。\n第二段 abc");
    const QByteArray gb = gb18030(plan);
    ASSERT_FALSE(gb.isEmpty()) << "GB18030 codec missing";
    ASSERT_NE(gb, plan.toUtf8());
    EXPECT_EQ(decodePlanText(plan.toUtf8()), plan);
    EXPECT_EQ(decodePlanText("\xEF\xBB\xBF" + plan.toUtf8()), plan);
    EXPECT_EQ(decodePlanText(gb), plan);
    // Plain ASCII is the same in both.
    EXPECT_EQ(decodePlanText("lesson 1\r\n"), QStringLiteral("lesson 1\r\n"));
    // A character outside GBK (four bytes in GB18030) still comes back.
    const QString rare = QStringLiteral("𠀀字");
    EXPECT_EQ(decodePlanText(gb18030(rare)), rare);
}

TEST(PlanFile, WriteReadAndFailures) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("教案.txt"));
    const QString plan = QStringLiteral("一、教学目标\n二、教学过程\n");
    ASSERT_TRUE(writePlanFile(path, plan));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), plan.toUtf8()); // UTF-8, no byte-order mark
    f.close();
    QString back;
    ASSERT_TRUE(readPlanFile(path, &back));
    EXPECT_EQ(back, plan);

    EXPECT_EQ(readPlanFile(QDir(dir.path()).filePath("none.txt"), &back).reason, shell::Reason::NotFound);
    // A folder in the file's place cannot be written over; the message names it.
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("占用.txt"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const shell::Outcome failed = writePlanFile(folder, QStringLiteral("新内容"));
    EXPECT_EQ(failed.reason, shell::Reason::Failed);
    ASSERT_EQ(failed.messages.size(), 1);
    EXPECT_TRUE(failed.messages.first().contains(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_NE(readPlanFile(folder, &back).reason, shell::Reason::None);
}
