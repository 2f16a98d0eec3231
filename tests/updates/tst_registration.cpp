#include "files.h"
#include "harness.h"
#include "localport.h"
#include "testmain.h"

#include "app/registerupdate.h"
#include "updates/mailsender.h"
#include "updates/registerform.h"
#include "updates/registrationmessage.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <csignal>
#include <unistd.h>

using namespace brevant;
using namespace brevant::test;
using namespace std::chrono_literals;

namespace {

const QString kSent = QStringLiteral("Your Registration has been sent. Thanks");
const QString kMailbox = QString::fromUtf16(kRegistrationMailbox);

// A received or recorded message: unfolded headers and the decoded body.
struct Parsed {
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray rawHeaders;
    QString body;

    QByteArray header(const QByteArray &name) const
    {
        for (const auto &h : headers) {
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return h.second;
        }
        return {};
    }
};

Parsed parse(QByteArray message)
{
    Parsed p;
    message.replace("\r\n", "\n");
    const qsizetype split = message.indexOf("\n\n");
    p.rawHeaders = message.left(split);
    for (const QByteArray &line : p.rawHeaders.split('\n')) {
        if ((line.startsWith(' ') || line.startsWith('\t')) && !p.headers.isEmpty()) {
            p.headers.last().second += line;
        } else {
            const qsizetype colon = line.indexOf(':');
            p.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
        }
    }
    p.body = QString::fromUtf8(QByteArray::fromBase64(message.mid(split + 2)));
    return p;
}

// Reads a header value with encoded words as a mail reader would: the
// words' bytes joined, the blanks between two words dropped.
QString decodeHeader(const QByteArray &value)
{
    static const QRegularExpression word(QStringLiteral(R"(=\?UTF-8\?B\?([A-Za-z0-9+/=]*)\?=)"));
    const QString text = QString::fromLatin1(value);
    QByteArray bytes;
    qsizetype at = 0;
    bool lastWasWord = false;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QString between = text.mid(at, m.capturedStart() - at);
        if (!(lastWasWord && between.trimmed().isEmpty()))
            bytes += between.toUtf8();
        bytes += QByteArray::fromBase64(m.captured(1).toLatin1());
        at = m.capturedEnd();
        lastWasWord = true;
    }
    bytes += text.mid(at).toUtf8();
    return QString::fromUtf8(bytes);
}

// A stand-in sendmail written by the test.
QString writeProgram(const QTemporaryDir &dir, const QString &name, const QByteArray &script)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("#!/bin/sh\n" + script);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// Records its arguments (one a line) and its standard input, then succeeds.
QString recorder(const QTemporaryDir &dir)
{
    return writeProgram(dir, QStringLiteral("sendmail"),
                        "printf '%s\\n' \"$@\" > '" + dir.filePath("args").toUtf8() + "'\n"
                        "cat > '" + dir.filePath("stdin").toUtf8() + "'\n");
}

struct Sender {
    MailSender sender;
};

// The program wired to a sendmail of the test's choosing.
struct MailHarness : Sender, Harness {
    explicit MailHarness(const QString &sendmail, std::chrono::milliseconds limit = 30s)
        : Sender{MailSender(sendmail, limit)}, Harness({.mail = &sender})
    {
    }

    RegisterForm *openForm()
    {
        program->start();
        click(program->registerUpdate(), QStringLiteral("register"));
        return program->registerForm();
    }
    static QLineEdit *entry(RegisterForm *form, const char *name)
    {
        return form->findChild<QLineEdit *>(QLatin1String(name));
    }
    static void type(RegisterForm *form, const QString &name, const QString &email,
                     const QString &version)
    {
        entry(form, "nameText")->setText(name);
        entry(form, "email")->setText(email);
        entry(form, "version")->setText(version);
    }
    static QStringList texts(RegisterForm *form)
    {
        return {entry(form, "nameText")->text(), entry(form, "email")->text(), entry(form, "version")->text()};
    }
};

} // namespace

class RegistrationTest : public QObject {
    Q_OBJECT
private slots:
    void exampleMessageByteForByte();
    void subjectAndBodyKeepTheTypedTexts_data();
    void subjectAndBodyKeepTheTypedTexts();
    void senderReportsFailures();
    void sendAndCancelFlow();
    void failedSendKeepsTheForm();
    void endToEndThroughAMailTransferAgent();
};

void RegistrationTest::exampleMessageByteForByte()
{
    const RegistrationMessage m = RegistrationMessage::compose(QStringLiteral("Arts"), QStringLiteral("arts"),
                                                               QStringLiteral("2"));
    QCOMPARE(m.subject, QStringLiteral("Registration Info from Arts"));
    QCOMPARE(m.body, QStringLiteral("Please Register me for product updates. My Name: Arts ,My Email: arts "
                                    ",Version No: 2"));
    const QDateTime date(QDate(2024, 3, 5), QTime(9, 7, 2), Qt::OffsetFromUTC, -5 * 3600 - 1800);
    QCOMPARE(m.toMime(date),
             QByteArray("To: register@brevant.example\r\n"
                        "Subject: Registration Info from Arts\r\n"
                        "Date: Tue, 05 Mar 2024 09:07:02 -0530\r\n"
                        "MIME-Version: 1.0\r\n"
                        "Content-Type: text/plain; charset=UTF-8\r\n"
                        "Content-Transfer-Encoding: base64\r\n"
                        "\r\n"
                        "UGxlYXNlIFJlZ2lzdGVyIG1lIGZvciBwcm9kdWN0IHVwZGF0ZXMuIE15IE5hbWU6IEFydHMgLE15\r\n"
                        "IEVtYWlsOiBhcnRzICxWZXJzaW9uIE5vOiAy\r\n"));
}

void RegistrationTest::subjectAndBodyKeepTheTypedTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("subject");   // as a mail reader shows it
    QTest::newRow("empty boxes") << QString() << QString() << QString()
                                 << QStringLiteral("Registration Info from ");
    QTest::newRow("name with CR LF and Bcc")
        << QStringLiteral("Arts\r\nBcc: victim@example.org\nCc: other@example.org")
        << QStringLiteral("arts\r\nTo: x@example.org") << QStringLiteral("2")
        << QStringLiteral("Registration Info from Arts  Bcc: victim@example.org Cc: other@example.org");
    QTest::newRow("non-ASCII name")
        << QStringLiteral("Zoë Ångström-Nakamura 中村 🙂") << QStringLiteral("zoë@example.org")
        << QStringLiteral("1.0 ")
        << QStringLiteral("Registration Info from Zoë Ångström-Nakamura 中村 🙂");
    const QString longName = QStringLiteral("Ä").repeated(30) + QStringLiteral("x").repeated(200)
                             + QStringLiteral("🙂").repeated(40);
    QTest::newRow("long mixed name") << longName << QString() << QString()
                                     << QStringLiteral("Registration Info from ") + longName;
    QTest::newRow("text that looks encoded")
        << QStringLiteral("=?UTF-8?B?QmNjOiB4?=") << QString() << QString()
        << QStringLiteral("Registration Info from =?UTF-8?B?QmNjOiB4?=");
}

void RegistrationTest::subjectAndBodyKeepTheTypedTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, email);
    QFETCH(QString, version);
    QFETCH(QString, subject);
    const QByteArray bytes = RegistrationMessage::compose(name, email, version).toMime(QDateTime::currentDateTime());
    const Parsed p = parse(bytes);

    // Exactly the six headers, each on lines of plain ASCII of at most 78
    // characters: nothing typed can add a header or a recipient.
    QList<QByteArray> names;
    for (const auto &h : p.headers)
        names << h.first;
    QCOMPARE(names, (QList<QByteArray>{"To", "Subject", "Date", "MIME-Version", "Content-Type",
                                       "Content-Transfer-Encoding"}));
    QCOMPARE(p.header("To"), QByteArray("register@brevant.example"));
    QByteArray head = bytes.left(bytes.indexOf("\r\n\r\n"));
    head.replace("\r\n", "\n");
    for (const QByteArray &line : head.split('\n')) {
        QVERIFY2(line.size() <= 78, line.constData());
        for (char c : line)
            QVERIFY2(c >= 0x20 && c <= 0x7e, line.constData());
    }
    QCOMPARE(decodeHeader(p.header("Subject")), subject);
    QCOMPARE(p.body, QStringLiteral("Please Register me for product updates. My Name: ") + name
                         + QStringLiteral(" ,My Email: ") + email + QStringLiteral(" ,Version No: ") + version);
}

void RegistrationTest::senderReportsFailures()
{
    QTemporaryDir dir;
    const QByteArray message = RegistrationMessage::compose({}, {}, {}).toMime(QDateTime::currentDateTime());

    MailSender missing(dir.filePath("no-such-sendmail"));
    MailSender::Result r = missing.send(message);
    QVERIFY(!r.sent);
    QVERIFY2(r.error.contains(QStringLiteral("no mail system was found")), qPrintable(r.error));

    MailSender failing(writeProgram(dir, QStringLiteral("failing"),
                                    "cat > /dev/null\necho 'cannot reach the mail relay' >&2\nexit 75\n"));
    r = failing.send(message);
    QVERIFY(!r.sent);
    QVERIFY2(r.error.contains(QStringLiteral("exit code 75: cannot reach the mail relay")), qPrintable(r.error));

    // A sendmail that never ends is stopped at the limit, helpers included.
    const QString pidFile = dir.filePath("helper.pid");
    MailSender hanging(writeProgram(dir, QStringLiteral("hanging"),
                                    "cat > /dev/null\nsleep 600 &\necho $! > '" + pidFile.toUtf8()
                                        + "'\nwait\n"),
                       200ms);
    r = hanging.send(message);
    QVERIFY(!r.sent);
    QVERIFY2(r.error.contains(QStringLiteral("did not finish within 0.2 seconds")), qPrintable(r.error));
    const QByteArray helper = fileBytes(pidFile).trimmed();
    QVERIFY2(helper.toLongLong() > 0, helper.constData());
    // Gone, or at most a zombie waiting to be reaped by init.
    QTRY_VERIFY_WITH_TIMEOUT(!fileBytes(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(helper)))
                                  .contains(") S "),
                             10000);
}

void RegistrationTest::sendAndCancelFlow()
{
    QTemporaryDir dir;
    MailHarness h(recorder(dir));
    RegisterForm *form = h.openForm();
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("RegisterForm")});
    QCOMPARE(form->windowTitle(), QStringLiteral("Register for Updates"));

    // Cancel sends nothing and keeps the texts for the next visit.
    MailHarness::type(form, QStringLiteral("Arts"), QStringLiteral("arts"), QStringLiteral("2"));
    h.click(form, QStringLiteral("cancel"));
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("RegisterUpdate")});
    QVERIFY(!QFile::exists(dir.filePath("stdin")));
    h.click(h.program->registerUpdate(), QStringLiteral("register"));
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("RegisterForm")});
    QCOMPARE(MailHarness::texts(form), (QStringList{"Arts", "arts", "2"}));

    h.dialogs.expectMessage(kSent, QStringLiteral("Sent!"));
    h.click(form, QStringLiteral("send"));
    VERIFY_DIALOGS(h);
    QCOMPARE(h.dialogs.parents.last(), form);
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("RegisterUpdate")});
    // sendmail -t -oi reads the message as local text lines.
    QCOMPARE(fileBytes(dir.filePath("args")), QByteArray("-t\n-oi\n"));
    const QByteArray stdinBytes = fileBytes(dir.filePath("stdin"));
    QVERIFY(!stdinBytes.contains('\r'));
    const Parsed sent = parse(stdinBytes);
    QCOMPARE(sent.header("Subject"), QByteArray("Registration Info from Arts"));
    QCOMPARE(sent.body, QStringLiteral("Please Register me for product updates. My Name: Arts ,My Email: arts "
                                       ",Version No: 2"));
    QCOMPARE(MailHarness::texts(form), (QStringList{"Arts", "arts", "2"}));
}

// A failed send keeps the form as typed, and says in plain words what is
// wrong, with the mail system's own reason on a line of its own.
void RegistrationTest::failedSendKeepsTheForm()
{
    struct Case {
        QByteArray script;
        QString plain;
        QString reason;
    };
    const Case cases[] = {
        {"cat > /dev/null\nexit 1\n", QStringLiteral("The mail system could not send it."),
         QStringLiteral("exit code 1")},
        {"cat > /dev/null\necho 'sendmail: account default not found' >&2\nexit 78\n",
         QStringLiteral("This computer has no mail account set up for sending. Ask your system administrator"),
         QStringLiteral("exit code 78: sendmail: account default not found")},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        MailHarness h(writeProgram(dir, QStringLiteral("sendmail"), c.script));
        RegisterForm *form = h.openForm();
        MailHarness::type(form, QStringLiteral("Zoë"), QStringLiteral("zoe@example.org"), QStringLiteral("1.0"));
        h.dialogs.expectAnyMessage(QStringLiteral("Not Sent"));
        h.click(form, QStringLiteral("send"));
        VERIFY_DIALOGS(h);
        const QStringList lines = h.dialogs.shownTexts.last().split(QStringLiteral("\r\n"));
        QVERIFY2(lines.first().startsWith(QStringLiteral("Your Registration has not been sent: ") + c.plain),
                 qPrintable(lines.first()));
        QVERIFY2(lines.last().startsWith(QStringLiteral("The mail system said: ")) && lines.last().endsWith(c.reason),
                 qPrintable(lines.last()));
        QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("RegisterForm")});
        QCOMPARE(MailHarness::texts(form), (QStringList{"Zoë", "zoe@example.org", "1.0"}));
    }
}

void RegistrationTest::endToEndThroughAMailTransferAgent()
{
    const QString sendmail = QFileInfo(QStringLiteral("/usr/sbin/sendmail")).canonicalFilePath();
    if (!sendmail.endsWith(QStringLiteral("/msmtp")))
        QSKIP("/usr/sbin/sendmail is not msmtp (Debian package msmtp-mta), which this test configures");
    if (!QFile::exists(QStringLiteral("/usr/lib/python3/dist-packages/aiosmtpd/__init__.py")))
        QSKIP("the SMTP sink is missing (Debian package python3-aiosmtpd)");
    const int port = freeLocalPort();
    if (port == 0)
        QSKIP("no TCP port can be bound on 127.0.0.1 here");

    // The sink keeps what it receives in a maildir, recipients in X-RcptTo.
    QTemporaryDir dir;
    QProcess sink;
    sink.setProcessChannelMode(QProcess::MergedChannels);
    sink.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral("-m"), QStringLiteral("aiosmtpd"), QStringLiteral("-n"), QStringLiteral("-l"),
                QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("-c"),
                QStringLiteral("aiosmtpd.handlers.Mailbox"), dir.filePath("inbox")});
    auto stopSink = qScopeGuard([&sink] {
        sink.terminate();
        if (!sink.waitForFinished(10000)) {
            sink.kill();
            sink.waitForFinished(10000);
        }
    });
    QVERIFY2(sink.waitForStarted(10000), qPrintable(sink.errorString()));
    QTRY_VERIFY2_WITH_TIMEOUT(sink.state() != QProcess::Running || accepts(port),
                              "the SMTP sink did not start listening", 20000);
    QVERIFY2(sink.state() == QProcess::Running, sink.readAll().constData());

    // msmtp reads ~/.msmtprc: a home of the test's own pointing at the sink.
    QFile rc(dir.filePath(".msmtprc"));
    QVERIFY(rc.open(QIODevice::WriteOnly));
    rc.write(QStringLiteral("defaults\nauth off\ntls off\n\naccount default\nhost 127.0.0.1\nport %1\n"
                            "from registration-test@localhost\n")
                 .arg(port)
                 .toUtf8());
    rc.close();
    rc.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(dir.path()));
    auto restoreHome = qScopeGuard([&oldHome] { qputenv("HOME", oldHome); });

    MailHarness h{QString()};   // the real lookup of /usr/sbin/sendmail
    RegisterForm *form = h.openForm();
    MailHarness::type(form, QStringLiteral("Zoë Arts"), QStringLiteral("arts@example.org"), QStringLiteral("2"));
    h.dialogs.expectMessage(kSent, QStringLiteral("Sent!"));
    h.click(form, QStringLiteral("send"));
    VERIFY_DIALOGS(h);
    QCOMPARE(h.visibleWindows(), QStringList{QStringLiteral("RegisterUpdate")});

    const QDir inbox(dir.filePath("inbox/new"));
    QTRY_COMPARE_WITH_TIMEOUT(inbox.entryList(QDir::Files).size(), 1, 10000);
    const Parsed p = parse(fileBytes(inbox.filePath(inbox.entryList(QDir::Files).first())));
    QCOMPARE(p.header("X-RcptTo"), kMailbox.toUtf8());
    QCOMPARE(decodeHeader(p.header("Subject")), QStringLiteral("Registration Info from Zoë Arts"));
    QCOMPARE(p.body, QStringLiteral("Please Register me for product updates. My Name: Zoë Arts ,My Email: "
                                    "arts@example.org ,Version No: 2"));
}

BREVANT_TEST_MAIN(RegistrationTest)
#include "tst_registration.moc"
