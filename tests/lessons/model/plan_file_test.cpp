#include "Printers.h"
#include "lessons/model/PlanFile.h"

#include <QDir>
#include <QFile>
#include <QStringConverter>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
    EXPECT_EQ(missing.messages.first(),
              QStringLiteral("文件“%1”不存在！").arg(QDir(dir.path()).filePath("none.txt")));
    // A folder is not a file to read; the message names it, in Chinese.
    const shell::Outcome folder = readPlanFile(dir.path(), &back);
    EXPECT_EQ(folder.reason, shell::Reason::Invalid);
    EXPECT_EQ(folder.messages, QStringList{QStringLiteral("“%1”是文件夹，不是教案文件！").arg(dir.path())});
    EXPECT_EQ(back, plan);
}

// What Windows Notepad saves as "Unicode" (UTF-16 LE with a mark) and its
// big-endian twin read as the text they hold, on disk as in memory.
TEST(PlanFile, ReadsUtf16WithAByteOrderMark) {
    const QString plan = QStringLiteral("第一课　春天\r\n教学目标：朗读。𠀀 abc");
    QTemporaryDir dir;
    const struct {
        const char* name;
        QStringConverter::Encoding encoding;
    } cases[] = {{"le", QStringConverter::Utf16LE}, {"be", QStringConverter::Utf16BE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringEncoder enc(c.encoding, QStringEncoder::Flag::WriteBom);
        const QByteArray bytes = enc.encode(plan);
        ASSERT_EQ(bytes.size(), 2 + plan.size() * 2);
        EXPECT_EQ(decodePlanText(bytes), plan);
        const QString path = dir.filePath(QString::fromLatin1(c.name) + ".txt");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QString back;
        ASSERT_TRUE(readPlanFile(path, &back));
        EXPECT_EQ(back, plan);
    }
    // Without a mark, bytes that happen to look like UTF-16 stay GB18030.
    EXPECT_EQ(decodePlanText(gb18030(QStringLiteral("教案"))), QStringLiteral("教案"));
}

// A named pipe nobody writes to and a device are refused at once, never
// waited on or read.
TEST(PlanFile, RefusesPipesAndDevicesWithoutWaiting) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("管道.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/null")}) {
        SCOPED_TRACE(path.toStdString());
        QString back = QStringLiteral("原来的");
        auto reading = std::async(std::launch::async, [&] { return readPlanFile(path, &back); });
        if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "still waiting on the file";
            // Let the waiting reader go: a writer comes and goes.
            const int w = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
            if (w >= 0) ::close(w);
        }
        const shell::Outcome o = reading.get();
        EXPECT_EQ(o.reason, shell::Reason::Invalid);
        EXPECT_EQ(
            o.messages,
            QStringList{QStringLiteral("“%1”不是普通文件（管道或设备），不能作为教案打开！").arg(path)});
        EXPECT_EQ(back, QStringLiteral("原来的"));
    }
}
