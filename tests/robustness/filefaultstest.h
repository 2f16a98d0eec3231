#pragma once

// What the tests of file faults share: a file system of the test's own
// (a private mount namespace with a small tmpfs), folders made read-only
// under the program, and the steps that run Save, Save As and the report
// up to their refusal.
#include "app/program.h"
#include "app/registerupdate.h"
#include "app/std0.h"
#include "app/std11.h"
#include "core/workfileformat.h"
#include "document/htmlreport.h"
#include "files.h"
#include "harness.h"
#include "questionnaire/questionpage.h"
#include "report/browserwindow.h"
#include "report/templateselect.h"
#include "testmain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace brevant::test {

using namespace Qt::Literals::StringLiterals;

// A design's option button on the template window.
inline QRadioButton *designOption(QWidget *window, const char *name)
{
    return window->findChild<QRadioButton *>(QLatin1String(name));
}

inline const QString kWorkFilter = u"Dat Files (*.dat)|*.dat"_s;
inline const QString kReportFilter =
    u"html Files (*.html)|*.html|PDF Files (*.pdf)|*.pdf|OpenDocument Text (*.odt)|*.odt|"
    "Word Document (*.docx)|*.docx"_s;
inline const QString kNotSaved = u"Not Saved"_s;

// Why mounts cannot be used here; empty when they can.
inline QString g_noMounts;

inline QString systemError(const char *what)
{
    return QString::fromLatin1(what) + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

// Gives the test a mount namespace of its own, with mounts that do not
// spread back to the system. Must run before any thread starts.
inline QString privateMounts()
{
    if (::geteuid() != 0)
        return u"mounting needs the superuser"_s;
    if (::unshare(CLONE_NEWNS) != 0)
        return systemError("unshare(CLONE_NEWNS)");
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return systemError("making / private");
    return {};
}

inline QString mountTmpfs(const QString &at, int kibibytes)
{
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k";
    if (::mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0)
        return systemError("mounting a tmpfs");
    return {};
}

inline QString makeReadOnly(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
        return systemError("bind mount");
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        return systemError("read-only remount");
    return {};
}

inline void unmount(const QString &at)
{
    ::umount2(QFile::encodeName(at).constData(), MNT_DETACH);
}

// Fills the file system that holds folder until not one more byte fits.
inline bool fillUp(const QString &folder)
{
    QFile filler(folder + u"/filler"_s);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    while (filler.write("f", 1) == 1) {
    }
    return true;
}

inline QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// The report as a page, a PDF or an ODT: the file type chosen in the
// template window's Save dialog.
enum class Command { Save, SaveAs, Report, PdfReport, OdtReport };

inline bool isReport(Command command)
{
    return command != Command::Save && command != Command::SaveAs;
}

// The program at page 1 with every response filled, and for the report the
// shipped designs installed and the template window open on "Orange
// Madness".
inline void prepare(Harness &h, Command command)
{
    h.continueToPage1();
    h.fillAll();
    if (!isReport(command))
        return;
    const QString from = builtProgramFolder() + u"/Templates"_s;
    const QString to = h.folder.filePath(u"Templates"_s);
    QVERIFY(QDir().mkpath(to));
    for (const ReportDesign &d : reportDesigns()) {
        const QString file = u'/' + d.templatePath.section(u'/', -1);
        QVERIFY(QFile::copy(from + file, to + file));
    }
    h.program->showWindow(h.program->std11());
    h.click(h.program->std11(), u"save"_s);
    designOption(h.program->templateSelect(), "OM")->click();
}

// Runs the command through its button, the dialog answering path, and
// expects it to be refused with a message that names path.
inline void runAndExpectRefusal(Harness &h, Command command, const QString &path)
{
    const int shown = h.dialogs.shownTexts.size();
    switch (command) {
    case Command::Save:
    case Command::SaveAs:
        h.dialogs.expectSave(kWorkFilter, FileDialogOutcome::chosen(path)).expectAnyMessage(kNotSaved);
        h.click(h.program->page(1), command == Command::Save ? u"Save"_s : u"SaveAs"_s);
        break;
    case Command::Report:
    case Command::PdfReport:
    case Command::OdtReport: {
        const int fileType = command == Command::PdfReport ? 1 : command == Command::OdtReport ? 2 : 0;
        h.dialogs.expectSave(kReportFilter, FileDialogOutcome::chosen(path, fileType))
            .expectAnyMessage(QString());
        h.click(h.program->templateSelect(), u"Save"_s);
        break;
    }
    }
    VERIFY_DIALOGS(h);
    QCOMPARE(h.dialogs.shownTexts.size(), shown + 1);
    const QString text = h.dialogs.shownTexts.last();
    QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
}

// Nothing of the command took hold: no current work file, no report shown.
inline void verifyNothingTookHold(Harness &h, Command command)
{
    if (isReport(command)) {
        QVERIFY(!h.program->existing(WindowId::Browser));
        QVERIFY(h.shell.requests.isEmpty());
    } else
        QVERIFY(!h.program->std0()->state.pFileOpened);
}

} // namespace brevant::test
