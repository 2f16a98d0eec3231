#include "workfile/recoveryoffer.h"

#include "core/catalogue.h"
#include "ui/services.h"

#include <QDir>
#include <QFile>
#include <QLocale>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// A copy is a few times the text it holds; anything far larger is not one.
constexpr qint64 kMaxCopySize = qint64(512) * 1024 * 1024;

std::optional<RecoveryCopy> readCopy(const QString &path, QString *why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return std::nullopt;
    }
    if (file.size() > kMaxCopySize) {
        *why = u"the file is far too large to be a recovery copy"_s;
        return std::nullopt;
    }
    return decodeRecoveryCopy(file.readAll(), why);
}

} // namespace

QString recoveryOfferTitle()
{
    return u"Restore Unsaved Responses"_s;
}

QString recoveryOfferText(const RecoveryCopy &copy, const QString &setAsideFolder)
{
    const QString when = QLocale::c().toString(copy.changed.toLocalTime(),
                                               u"dddd, d MMMM yyyy 'at' HH:mm"_s);
    return u"The program ended before some of your responses were saved. A copy of them "
           "was kept.\r\n\r\nLast changed: %1\r\nFilled: %2 of the %3 responses\r\n\r\n"
           "Restore them? Continue then shows them on the pages.\r\n\r\nNo keeps the copy "
           "in\r\n%4\r\nfrom where the user guide explains how to bring it back."_s
        .arg(when)
        .arg(copy.filledResponses())
        .arg(kItemCount)
        .arg(QDir::toNativeSeparators(setAsideFolder));
}

bool offerRecoveredWork(const QString &recoveryFolder, const QString &ownSession, Dialogs &dialogs,
                        QWidget *parent, const std::function<void(const RecoveryCopy &)> &restore)
{
    const RecoveryFolder folder(recoveryFolder);
    bool restored = false;
    for (const RecoveryFolder::Orphan &orphan : folder.claimOrphans(ownSession)) {
        QString why;
        const std::optional<RecoveryCopy> copy = restored ? std::nullopt : readCopy(orphan.path, &why);
        if (copy && copy->holdsWork()
            && dialogs.message(parent, recoveryOfferText(*copy, folder.setAsidePath()), Buttons::YesNo,
                               Icon::None, recoveryOfferTitle())
                == Answer::Yes) {
            restore(*copy);
            restored = true;
        } else if (!copy && !restored) {
            qWarning("Recovery copy %s set aside: %s", qPrintable(orphan.path), qPrintable(why));
        }
        if (!folder.setAside(orphan.path, &why))
            qWarning("Recovery copy %s cannot be set aside: %s", qPrintable(orphan.path), qPrintable(why));
    }
    return restored;
}

} // namespace brevant
