#include "cli/inputs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThreadPool>

namespace brevant::cli {

using namespace Qt::Literals::StringLiterals;

WorkFileInputs workFileInputs(const QStringList &arguments, Console &console)
{
    WorkFileInputs inputs;
    for (const QString &argument : arguments) {
        const QFileInfo info(argument);
        if (!info.isDir()) {
            // A file that is not there is the reader's to name, with its reason.
            inputs.files << argument;
            continue;
        }
        const QDir folder(argument);
        const QFileInfoList entries = folder.entryInfoList({u"*.dat"_s}, QDir::Files,
                                                           QDir::Name);
        if (!folder.isReadable()) {
            console.error(u"%1: the folder cannot be read."_s.arg(QDir::toNativeSeparators(argument)));
            inputs.status = worse(inputs.status, Status::Failed);
            continue;
        }
        for (const QFileInfo &entry : entries) {
            // A link to a folder, a pipe: not a work file.
            if (entry.isFile())
                inputs.files << folder.filePath(entry.fileName());
        }
    }
    return inputs;
}

QString fileStem(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

void sideBySide(qsizetype count, int jobs, const std::function<void(qsizetype)> &work)
{
    if (jobs <= 1 || count < 2) {
        for (qsizetype i = 0; i < count; ++i)
            work(i);
        return;
    }
    QThreadPool pool;
    pool.setMaxThreadCount(jobs);
    for (qsizetype i = 0; i < count; ++i)
        pool.start([&work, i] { work(i); });
    pool.waitForDone();
}

} // namespace brevant::cli
