#include "lessons/model/PlanFile.h"

#include <QDir>
#include <QFile>
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

TEST(PlanFile, ReadsFromDisk) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("教案.txt"));
    const QString plan = QStringLiteral("一、教学目标\r\n二、教学过程\r\n");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(gb18030(plan));
    }
    QString back;
    ASSERT_TRUE(readPlanFile(path, &back));
    EXPECT_EQ(back, plan);

    const shell::Outcome missing = readPlanFile(QDir(dir.path()).filePath("none.txt"), &back);
    EXPECT_EQ(missing.reason, shell::Reason::NotFound);
    ASSERT_EQ(missing.messages.size(), 1);
    // A folder is not a file to read; the message names it.
    const shell::Outcome folder = readPlanFile(dir.path(), &back);
    EXPECT_EQ(folder.reason, shell::Reason::Failed);
    ASSERT_EQ(folder.messages.size(), 1);
    EXPECT_TRUE(folder.messages.first().contains(dir.path()));
    EXPECT_EQ(back, plan);
}
