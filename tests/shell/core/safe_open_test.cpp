#include "shell/core/SafeOpen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using shell::OpenKind;
using shell::OpenTarget;

namespace {

QString makeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content,
                 bool executable = false) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    if (executable) f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
    return path;
}

// Records what would have reached the desktop.
struct Recorder {
    QList<OpenTarget> launched;
    bool answer = true;
    Recorder() {
        shell::setLauncherForTesting([this](const OpenTarget& t) {
            launched << t;
            return answer;
        });
    }
    ~Recorder() { shell::setLauncherForTesting({}); }
};

} // namespace

TEST(SafeOpen, WebAddressesGoToTheBrowser) {
    struct Case {
        QString text;
        QString url;
    };
    const QList<Case> cases{
        {QStringLiteral("http://www.pep.com.cn/"), QStringLiteral("http://www.pep.com.cn/")},
        {QStringLiteral("  HTTPS://Example.org/a?b=1 "), QStringLiteral("https://example.org/a?b=1")},
        {QStringLiteral("ftp://ftp.example.org/pub"), QStringLiteral("ftp://ftp.example.org/pub")},
        {QStringLiteral("www.example.edu/课件"), QStringLiteral("http://www.example.edu/课件")},
    };
    for (const Case& c : cases) {
        const OpenTarget t = shell::classifyAddress(c.text);
        EXPECT_EQ(t.kind, OpenKind::Web) << c.text.toStdString();
        EXPECT_EQ(t.url, QUrl(c.url)) << c.text.toStdString();
        EXPECT_FALSE(t.needsConsent());
    }
}

TEST(SafeOpen, LocalFilesByWhatTheyAre) {
    QTemporaryDir dir;
    const QString doc = makeFile(dir, "教案.txt", "第一课\n");
    const QString elf = makeFile(dir, "notes.txt",
                                 QByteArray("\x7f"
                                            "ELF\x02\x01\x01",
                                            7) +
                                     QByteArray(120, '\0'));
    const QString script = makeFile(dir, "run.sh", "#!/bin/sh\necho hi\n");
    const QString exe = makeFile(dir, "tool", "#!/bin/sh\n", true);
    const QString desktop =
        makeFile(dir, "app.desktop", "[Desktop Entry]\nType=Application\nExec=rm -rf ~\n");
    const QString shebang = makeFile(dir, "readme", "#!/usr/bin/python3\nprint(1)\n");
    struct Case {
        QString text;
        OpenKind kind;
    };
    const QList<Case> cases{
        {doc, OpenKind::Document},        {QUrl::fromLocalFile(doc).toString(), OpenKind::Document},
        {dir.path(), OpenKind::Document}, {elf, OpenKind::Program},
        {script, OpenKind::Program},      {exe, OpenKind::Program},
        {desktop, OpenKind::Program},     {QUrl::fromLocalFile(desktop).toString(), OpenKind::Program},
        {shebang, OpenKind::Program},     {dir.filePath("missing.doc"), OpenKind::Missing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shell::classifyAddress(c.text).kind, c.kind) << c.text.toStdString();
}

TEST(SafeOpen, OtherAddressesAndRefusals) {
    struct Case {
        QString text;
        OpenKind kind;
    };
    const QList<Case> cases{
        {QStringLiteral("mailto:teacher@example.edu"), OpenKind::OtherScheme},
        {QStringLiteral("javascript:alert(1)"), OpenKind::OtherScheme},
        {QStringLiteral("smb://server/share/run.exe"), OpenKind::OtherScheme},
        {QStringLiteral("file://server/share/a.doc"), OpenKind::OtherScheme},
        {QString(), OpenKind::Invalid},
        {QStringLiteral("   "), OpenKind::Invalid},
        {QStringLiteral("http://a.example/\nsecond"), OpenKind::Invalid},
        {QStringLiteral("C:\\课件\\a.ppt"), OpenKind::Invalid},
        {QStringLiteral("just words"), OpenKind::Invalid},
        {QStringLiteral("http://"), OpenKind::Invalid},
        {QStringLiteral("http://x.example/") + QString(shell::kMaxAddressLength, u'a'), OpenKind::Invalid},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shell::classifyAddress(c.text).kind, c.kind) << c.text.left(40).toStdString();
}

TEST(SafeOpen, ProgramsStartOnlyWithConsent) {
    QTemporaryDir dir;
    const QString script = makeFile(dir, "setup.sh", "#!/bin/sh\n", true);
    Recorder rec;
    const OpenTarget t = shell::classifyAddress(script);
    ASSERT_TRUE(t.needsConsent());
    EXPECT_FALSE(t.question().isEmpty());

    shell::Outcome o = shell::openTarget(t, false);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.reason, shell::Reason::NotChosen);
    EXPECT_TRUE(rec.launched.isEmpty());

    o = shell::openTarget(t, true);
    EXPECT_TRUE(o.ok);
    ASSERT_EQ(rec.launched.size(), 1);
    EXPECT_EQ(rec.launched[0].localPath, QFileInfo(script).absoluteFilePath());
}

TEST(SafeOpen, OpeningReportsWhatWentWrong) {
    QTemporaryDir dir;
    Recorder rec;
    EXPECT_EQ(shell::openTarget(shell::classifyAddress(""), false).reason, shell::Reason::Invalid);
    const shell::Outcome missing = shell::openTarget(shell::classifyAddress(dir.filePath("gone.doc")), true);
    EXPECT_EQ(missing.reason, shell::Reason::NotFound);
    EXPECT_TRUE(missing.messages.value(0).contains("gone.doc"));
    EXPECT_TRUE(rec.launched.isEmpty());

    EXPECT_TRUE(shell::openTarget(shell::classifyAddress("https://example.org/"), false).ok);
    rec.answer = false;
    const shell::Outcome failed = shell::openTarget(shell::classifyAddress("https://example.org/"), false);
    EXPECT_EQ(failed.reason, shell::Reason::Failed);
    EXPECT_FALSE(failed.messages.isEmpty());
    EXPECT_EQ(rec.launched.size(), 2);
}
