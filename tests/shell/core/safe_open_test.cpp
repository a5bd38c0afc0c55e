#include "shell/core/SafeOpen.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

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

// A real zip package with the given parts (an OOXML document, a zip
// application), written by libzip.
QString makeZip(const QTemporaryDir& dir, const QString& name,
                const QList<QPair<QByteArray, QByteArray>>& parts) {
    const QString path = dir.filePath(name);
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    EXPECT_NE(z, nullptr);
    if (!z) return path;
    QList<QByteArray> keep; // libzip reads the buffers at close
    for (const auto& [part, content] : parts) {
        keep << content;
        zip_source_t* src =
            zip_source_buffer(z, keep.last().constData(), zip_uint64_t(keep.last().size()), 0);
        EXPECT_GE(zip_file_add(z, part.constData(), src, ZIP_FL_ENC_UTF_8), 0);
    }
    EXPECT_EQ(zip_close(z), 0);
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

// What the teacher chose to start (an export, a file found, a Tools-menu
// program) goes through the same opener, without a question; the window
// tests' record-only mode keeps those from starting but lets stored
// addresses, pages and documents alike, through to the desktop's opener.
TEST(SafeOpen, ChosenPathsAndProgramsGoThroughTheOneOpener) {
    QTemporaryDir dir;
    const QString script = makeFile(dir, "calc.sh", "#!/bin/sh\n", true);
    const QString doc = makeFile(dir, "成绩.pdf", "%PDF-1.4\n%%EOF\n");
    {
        Recorder rec;
        EXPECT_TRUE(shell::openPath(script).ok);
        ASSERT_EQ(rec.launched.size(), 1);
        EXPECT_EQ(rec.launched[0].kind, OpenKind::Program);
        EXPECT_EQ(rec.launched[0].localPath, QFileInfo(script).absoluteFilePath());

        const shell::Outcome gone = shell::openPath(dir.filePath("gone.xlsx"));
        EXPECT_EQ(gone.reason, shell::Reason::NotFound);
        EXPECT_TRUE(gone.messages.value(0).contains("gone.xlsx"));
        EXPECT_EQ(shell::openPath(QString()).reason, shell::Reason::Invalid);
        EXPECT_EQ(rec.launched.size(), 1);

        EXPECT_TRUE(shell::startProgram(script, {"--mode", "basic mode"}).ok);
        ASSERT_EQ(rec.launched.size(), 2);
        EXPECT_EQ(rec.launched[1].arguments, QStringList({"--mode", "basic mode"}));
        EXPECT_EQ(rec.launched[1].workingFolder, QDir::homePath());
    }

    QList<QUrl> toDesktop;
    shell::setDesktopOpener([&](const QUrl& url) {
        toDesktop << url;
        return true;
    });
    shell::setShellOpenTestMode(true);
    EXPECT_TRUE(shell::openPath(doc).ok);
    EXPECT_TRUE(shell::startProgram(script, {}).ok);
    EXPECT_EQ(shell::openPath(dir.filePath("gone.pdf")).reason, shell::Reason::NotFound);
    EXPECT_TRUE(shell::openTarget(shell::classifyAddress("https://example.org/"), false).ok);
    EXPECT_TRUE(shell::openTarget(shell::classifyAddress(doc), false).ok);
    const QStringList recorded = shell::takeShellOpened();
    shell::setShellOpenTestMode(false);
    shell::setDesktopOpener({});
    EXPECT_EQ(recorded,
              QStringList({QFileInfo(doc).absoluteFilePath(), QFileInfo(script).absoluteFilePath()}));
    EXPECT_EQ(toDesktop, (QList<QUrl>{QUrl("https://example.org/"), QUrl::fromLocalFile(doc)}));
}

TEST(SafeOpen, AsksForAnythingThatRunsOrIsOfAnUnknownKind) {
    QTemporaryDir dir;
    const QByteArray elf = QByteArray("\x7f"
                                      "ELF\x02\x01\x01",
                                      7) +
                           QByteArray(120, '\0');
    const QByteArray ole("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1", 8);
    const QByteArray contentTypes =
        R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="xml" ContentType="application/xml"/></Types>)";
    QString appref =
        QStringLiteral("https://deploy.example/app.application#app.application, Culture=neutral");
    struct Case {
        QString path;
        bool asks;
    };
    const QList<Case> cases{
        // Programs, scripts and installers, by name or by content.
        {makeFile(dir, "setup", "#!/bin/sh\nrm -rf \"$HOME\"\n"), true},
        {makeFile(dir, "作业.txt", elf), true},
        {makeFile(dir, "start.desktop", "[Desktop Entry]\nType=Application\nExec=xterm\n"), true},
        {makeFile(dir, "lesson.jnlp",
                  "<?xml version=\"1.0\"?><jnlp codebase=\"http://x.example/\">"
                  "<application-desc main-class=\"Main\"/></jnlp>"),
         true},
        {makeZip(dir, "tool.pyz", {{"__main__.py", "import os\n"}}), true},
        {makeFile(dir, "课件.appref-ms",
                  QByteArray("\xff\xfe", 2) +
                      QByteArray(reinterpret_cast<const char*>(appref.utf16()), appref.size() * 2)),
         true},
        {makeFile(dir, "setup.exe", QByteArray("MZ\x90\0\x03\0\0\0", 8) + QByteArray(200, '\0')), true},
        {makeFile(dir, "setup.msi", ole + QByteArray(500, '\0')), true},
        {makeFile(dir, "run.bat", "@echo off\r\ndel /q *.*\r\n"), true},
        {makeFile(dir, "run.sh", "echo hi\n"), true},
        // A kind nobody knows is asked about, whatever it holds.
        {makeFile(dir, "notes.xyz", "plain words\n"), true},
        {makeFile(dir, "blob", QByteArray("\x00\x13\x37\xff", 4).repeated(16)), true},
        // Documents open without a question.
        {makeFile(dir, "成绩.pdf", "%PDF-1.4\n1 0 obj<<>>endobj\ntrailer<<>>\n%%EOF\n"), false},
        {makeZip(dir, "评语.docx",
                 {{"[Content_Types].xml", contentTypes}, {"word/document.xml", "<w:document/>"}}),
         false},
        {makeZip(dir, "成绩.xlsx",
                 {{"[Content_Types].xml", contentTypes}, {"xl/workbook.xml", "<workbook/>"}}),
         false},
        {makeFile(dir, "旧成绩.xls", ole + QByteArray(500, '\0')), false},
        {makeFile(dir, "计划.wps", ole + QByteArray(500, '\0')), false},
        {makeFile(dir, "说明", "第一课 课文\n"), false},
        {makeFile(dir, "空.txt", ""), false},
        {dir.path(), false},
    };
    for (const Case& c : cases) {
        const OpenTarget t = shell::classifyAddress(c.path);
        EXPECT_EQ(t.needsConsent(), c.asks) << QFileInfo(c.path).fileName().toStdString();
        EXPECT_EQ(t.question().isEmpty(), !c.asks) << QFileInfo(c.path).fileName().toStdString();
    }
}
