// The writer tools' RTF export: the dialog's filter, the name as typed, RTF
// whatever the extension, a message when the file cannot be written.
#include "WidgetSupport.h"
#include "shell/ui/FileDialog.h"
#include "shell/ui/MessageBox.h"
#include "shell/ui/RtfExport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace shell;

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// LibreOffice's text of an RTF file (copied under an .rtf name, so the
// converter goes by the content the test wants to judge).
QString officeText(const QTemporaryDir& dir, const QString& file) {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty()) return {};
    const QString copy = dir.filePath("readback.rtf");
    QFile::remove(copy);
    QFile::copy(file, copy);
    QProcess p;
    p.start(soffice, {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless", "--convert-to",
                      "txt:Text (encoded):UTF8", "--outdir", dir.filePath("out"), copy});
    p.waitForFinished(180000);
    QString back = QString::fromUtf8(readAll(dir.filePath("out/readback.txt")));
    if (back.startsWith(QChar(0xFEFF))) back.remove(0, 1);
    return back.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed();
}
} // namespace

TEST(RtfExport, FiltersInQtForm) {
    EXPECT_EQ(qtFileFilters(kDocExportFilter), QStringList({"WPS文件(*.wps)", "Word文件(*.doc)"}));
    EXPECT_EQ(qtFileFilters(kDocTxtExportFilter).value(2), "TXT文件(*.txt)");
    EXPECT_EQ(qtFileFilters("文本|*.txt"), QStringList({"文本 (*.txt)"}));
}

TEST(RtfExport, WritesRtfUnderTheNameAsTyped) {
    QTemporaryDir dir;
    MessageBox::takeShown();
    const QString text = QStringLiteral("学生姓名:\n你是一个{勤奋}的学生。\n");

    // Cancelled: nothing written, nothing said.
    FileDialog::setNextFileName(QString());
    Outcome o = exportTextAsRtf(nullptr, "评语导出", kDocExportFilter, text);
    EXPECT_EQ(o.reason, Reason::NotChosen);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    // A name ending in .txt (any case) gets the plain text as Windows
    // editors read it: UTF-8 with a byte-order mark, CR LF. Every other
    // name gets RTF and keeps its name as typed ("plan": no extension added).
    const QByteArray plain = "\xEF\xBB\xBF" + QString(text).replace("\n", "\r\n").toUtf8();
    const struct {
        const char* name;
        bool rtf;
    } cases[] = {{"a.txt", false}, {"B.TXT", false}, {"plan", true}, {"plan.doc", true}, {"a.txt.wps", true}};
    for (const auto& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        FileDialog::setNextFileName(dir.filePath(name));
        o = exportTextAsRtf(nullptr, "  ", kDocTxtExportFilter, text, 2);
        ASSERT_TRUE(o) << o.messages.join(' ').toStdString();
        const QByteArray bytes = readAll(dir.filePath(name));
        if (c.rtf)
            EXPECT_TRUE(bytes.startsWith("{\\rtf1")) << c.name;
        else
            EXPECT_EQ(bytes, plain) << c.name;
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("plan.txt")));
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());

    const QString back = officeText(dir, dir.filePath("plan"));
    if (back.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
    EXPECT_EQ(back.toStdString(), text.trimmed().toStdString());
}

TEST(RtfExport, FailedWriteIsToldAndLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString existing = dir.filePath("old.doc");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    MessageBox::takeShown();
    // A folder that does not exist.
    FileDialog::setNextFileName(dir.filePath("missing/x.doc"));
    Outcome o = exportTextAsRtf(nullptr, "评语导出", kDocExportFilter, "你好。");
    EXPECT_EQ(o.reason, Reason::Failed);
    QStringList shown = MessageBox::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("无法写入文件")) << shown[0].toStdString();
    EXPECT_EQ(o.messages, shown);

    // A folder the program cannot write into: the file there stays as it was.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    FileDialog::setNextFileName(existing);
    o = exportTextAsRtf(nullptr, "评语导出", kDocExportFilter, "你好。");
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (o.ok) GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_EQ(MessageBox::takeShown().size(), 1);
    EXPECT_EQ(readAll(existing), "old");
}
