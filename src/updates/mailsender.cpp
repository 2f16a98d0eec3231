#include "updates/mailsender.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <unistd.h>

namespace brevant {

namespace {

QString secondsText(std::chrono::milliseconds limit)
{
    return QString::number(limit.count() / 1000.0);
}

// What the program said, shortened to fit a message box.
QString programOutput(QProcess &process)
{
    QString said = QString::fromLocal8Bit(process.readAll()).trimmed();
    if (said.size() > 400)
        said = said.left(400) + QStringLiteral("...");
    return said;
}

} // namespace

MailSender::MailSender(const QString &program, std::chrono::milliseconds limit)
    : m_candidates(program.isEmpty()
                       ? QStringList{QStringLiteral("/usr/sbin/sendmail"),
                                     QStringLiteral("/usr/lib/sendmail")}
                       : QStringList{program}),
      m_limit(limit)
{
}

MailSender::Result MailSender::send(const QByteArray &message)
{
    Result result;
    result.failure = Result::Failure::Other;
    QString program;
    for (const QString &candidate : m_candidates) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable()) {
            program = candidate;
            break;
        }
    }
    if (program.isEmpty()) {
        QStringList shown;
        for (const QString &candidate : m_candidates)
            shown << QDir::toNativeSeparators(candidate);
        result.error = QStringLiteral("no mail system was found (no sendmail program at %1)")
                           .arg(shown.join(QStringLiteral(" or ")));
        result.failure = Result::Failure::NoMailSystem;
        return result;
    }

    QDeadlineTimer deadline(m_limit);
    QProcess process;
    process.setProgram(program);
    process.setArguments({QStringLiteral("-t"), QStringLiteral("-oi")});
    process.setProcessChannelMode(QProcess::MergedChannels);
    // A group of its own, so that a stopped sendmail takes its helpers along.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted(int(deadline.remainingTime()))) {
        result.error = QStringLiteral("%1 could not be started: %2")
                           .arg(QDir::toNativeSeparators(program), process.errorString());
        return result;
    }

    // The sendmail interface reads local text lines: LF line ends.
    QByteArray local = message;
    local.replace("\r\n", "\n");
    process.write(local);
    process.closeWriteChannel();

    if (!process.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
        if (process.state() != QProcess::NotRunning) {
            ::kill(-pid_t(process.processId()), SIGKILL);
            process.kill();
            process.waitForFinished(5000);
            result.error = QStringLiteral("%1 did not finish within %2 seconds")
                               .arg(QDir::toNativeSeparators(program), secondsText(m_limit));
            return result;
        }
    }
    const QString said = programOutput(process);
    if (process.exitStatus() == QProcess::CrashExit) {
        result.error = QStringLiteral("%1 stopped unexpectedly").arg(QDir::toNativeSeparators(program));
    } else if (process.exitCode() != 0) {
        result.error = QStringLiteral("%1 ended with exit code %2")
                           .arg(QDir::toNativeSeparators(program))
                           .arg(process.exitCode());
        // The sendmail interface's exit codes (sysexits.h): 78 a setting
        // is missing (msmtp with no account), 75 try again later.
        if (process.exitCode() == 78)
            result.failure = Result::Failure::NotSetUp;
        else if (process.exitCode() == 75)
            result.failure = Result::Failure::NotNow;
    } else {
        result.sent = true;
        result.failure = Result::Failure::None;
        return result;
    }
    if (!said.isEmpty())
        result.error += QStringLiteral(": ") + said;
    return result;
}

} // namespace brevant
