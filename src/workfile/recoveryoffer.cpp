#include "workfile/recoveryoffer.h"

#include "core/catalogue.h"
#include "core/workfileformat.h"
#include "io/files.h"
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

QString changedText(const RecoveryCopy &copy)
{
    return QLocale::c().toString(copy.changed.toLocalTime(), u"dddd, d MMMM yyyy 'at' HH:mm"_s);
}

// Writes a copy's responses as a work file where the user says; the copy
// stays set aside all the same.
void saveCopyAsWorkFile(const RecoveryCopy &copy, Dialogs &dialogs, QWidget *parent, const QString &setAside)
{
    // A work file cannot hold its own separator.
    const QList<int> items = itemsHoldingSeparator(copy.responses);
    if (!items.isEmpty()) {
        QStringList numbers;
        for (int item : items)
            numbers << QString::number(item);
        dialogs.message(parent,
                        u"The copy cannot be saved as a work file: the responses to requirements %1 "
                        "contain \"%%%%\", which a work file uses to separate the responses.\r\n\r\n"
                        "It is kept aside in\r\n%2\r\nfrom where the user guide explains how to bring "
                        "it back."_s
                            .arg(numbers.join(u", "_s), QDir::toNativeSeparators(setAside)),
                        Buttons::Ok, Icon::Critical, u"Not Saved"_s);
        return;
    }
    const FileDialogOutcome outcome =
        dialogs.showSave(parent, u"Dat Files (*.dat)|*.dat"_s, QString(), Overwrite::Ask);
    if (!acceptDialogOutcome(dialogs, parent, outcome))
        return;
    QString reason;
    const QStringList responses = copy.responses;
    if (writeFileSafely(outcome.path, [&responses](QIODevice &out) { return TextToFile(out, responses); },
                        &reason)) {
        dialogs.message(parent, u"Successfully Saved.."_s, Buttons::Ok, Icon::None, u"Saved"_s);
        return;
    }
    dialogs.message(parent,
                    u"The copy could not be saved to\r\n%1\r\n\r\n%2\r\n\r\nIt is kept aside all the same."_s
                        .arg(QDir::toNativeSeparators(outcome.path), reason),
                    Buttons::Ok, Icon::Critical, u"Not Saved"_s);
}

} // namespace

QString recoveryOfferTitle()
{
    return u"Restore Unsaved Responses"_s;
}

QString recoveryOfferText(const RecoveryCopy &copy, const QString &setAsideFolder)
{
    const QString when = changedText(copy);
    return u"The program ended before some of your responses were saved. A copy of them "
           "was kept.\r\n\r\nLast changed: %1\r\nFilled: %2 of the %3 responses\r\n\r\n"
           "Restore them? Continue then shows them on the pages.\r\n\r\nNo keeps the copy "
           "in\r\n%4\r\nfrom where the user guide explains how to bring it back."_s
        .arg(when)
        .arg(copy.filledResponses())
        .arg(kItemCount)
        .arg(QDir::toNativeSeparators(setAsideFolder));
}

QString otherCopyText(const RecoveryCopy &copy, const QString &setAsideFolder)
{
    return u"Another copy of unsaved responses was left, by a second copy of the program that "
           "ended before they were saved.\r\n\r\nLast changed: %1\r\nFilled: %2 of the %3 "
           "responses\r\n\r\nThe responses you restored stay on the pages. This copy can be saved "
           "as a work file of its own, to load and compare later.\r\n\r\nKeep Aside keeps it in\r\n"
           "%4\r\nfrom where the user guide explains how to bring it back."_s
        .arg(changedText(copy))
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
        const std::optional<RecoveryCopy> copy = readCopy(orphan.path, &why);
        if (!copy) {
            qWarning("Recovery copy %s set aside: %s", qPrintable(orphan.path), qPrintable(why));
        } else if (!copy->holdsWork()) {
            // Nothing in it worth a question.
        } else if (!restored) {
            if (dialogs.message(parent, recoveryOfferText(*copy, folder.setAsidePath()), Buttons::YesNo,
                                Icon::None, recoveryOfferTitle())
                == Answer::Yes) {
                restore(*copy);
                restored = true;
            }
        } else {
            // One was restored already: each other copy (a second program
            // that ended too) is offered as a work file of its own.
            const int chosen = dialogs.choose(parent, otherCopyText(*copy, folder.setAsidePath()),
                                              {u"Save as Work File..."_s, u"Keep Aside"_s}, Icon::None,
                                              recoveryOfferTitle());
            if (chosen == 0)
                saveCopyAsWorkFile(*copy, dialogs, parent, folder.setAsidePath());
        }
        if (!folder.setAside(orphan.path, &why))
            qWarning("Recovery copy %s cannot be set aside: %s", qPrintable(orphan.path), qPrintable(why));
    }
    return restored;
}

} // namespace brevant
