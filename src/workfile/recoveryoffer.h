#pragma once

#include "workfile/recoveryfile.h"

#include <functional>

class QWidget;

namespace brevant {

class Dialogs;

// The question that offers a recovery copy, and its title.
QString recoveryOfferText(const RecoveryCopy &copy, const QString &setAsideFolder);
QString recoveryOfferTitle();

// Offers, newest first, the copies that programs no longer running left in
// the recovery folder, one question each, until the user takes one: that
// one is handed to restore. Each copy after it (two programs ended by one
// crash) is then offered to be saved as a work file of its own. Every copy offered, declined, unreadable or
// left over is set aside, so none is offered twice and none is lost.
// ownSession: the session of this program, whose copy is never offered.
// Returns whether a copy was restored.
bool offerRecoveredWork(const QString &recoveryFolder, const QString &ownSession, Dialogs &dialogs,
                        QWidget *parent, const std::function<void(const RecoveryCopy &)> &restore);

} // namespace brevant
