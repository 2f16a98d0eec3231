#pragma once

// What the tests of the recovery copy share: where a data folder keeps its
// copies, a copy with every kind of text, and the steps to the start window
// where an earlier run's work is offered.
#include "app/registerupdate.h"
#include "app/std0.h"
#include "app/std11.h"
#include "core/catalogue.h"
#include "core/workfileformat.h"
#include "files.h"
#include "harness.h"
#include "questionnaire/questionpage.h"
#include "testmain.h"
#include "workfile/recoveryfile.h"
#include "workfile/recoveryoffer.h"
#include "workfile/recoveryrecorder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>

Q_DECLARE_METATYPE(brevant::RecoveryRecorder::Take)

namespace brevant::test {

using namespace Qt::Literals::StringLiterals;

inline const QString kFilter = u"Dat Files (*.dat)|*.dat"_s;
inline const QString kWarning = u"Requirements are not met, Do you want to continue"_s;

inline QStringList filesIn(const QString &folder, const QString &pattern = u"*"_s)
{
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

inline QString recoveryOf(const QString &data)
{
    return data + u"/recovery"_s;
}

// The copies of a data folder's recovery folder (not those set aside).
inline QStringList copiesIn(const QString &data)
{
    return filesIn(recoveryOf(data), u"*.json"_s);
}

inline std::optional<RecoveryCopy> onlyCopyIn(const QString &data)
{
    const QStringList copies = copiesIn(data);
    if (copies.size() != 1)
        return std::nullopt;
    return decodeRecoveryCopy(fileBytes(recoveryOf(data) + u'/' + copies.first()), nullptr);
}

// Text that a work file could not hold, and every kind of line break.
inline QString everyKindOfText()
{
    return u"caf\u00e9 \u20ac \u2265 \U0001F600 \u03b1\nsecond line\u2028third after Shift+Enter\r\n"
           "tab\there, no-break\u00a0space, <b>markup</b> & \"quotes\" %%%% and %%"_s;
}

inline RecoveryCopy sampleCopy()
{
    RecoveryCopy copy;
    for (int i = 1; i <= kItemCount; ++i)
        copy.responses << u"response %1"_s.arg(i);
    copy.responses[0] = everyKindOfText();
    copy.responses[26] = QString();
    for (int i = 0; i < kAnswerCount; ++i)
        copy.answers << (i % 2 ? u"No"_s : u"yes"_s);
    copy.changed = QDateTime(QDate(2026, 11, 30), QTime(14, 5, 6, 789), Qt::UTC);
    copy.nameFile = u"/home/chair/self-study.dat"_s;
    copy.fileName = u"/home/chair/copy of it.dat"_s;
    return copy;
}

// Startup window -> start window, where an earlier run's work is offered.
inline void toStartWindow(Harness &h)
{
    h.program->start();
    h.click(h.program->registerUpdate(), u"continue"_s);
}

// The program started again on data: its start window offers the copy
// an earlier run left, answered with answer. Returns the question.
inline QString offeredAtStart(Harness &h, Answer answer)
{
    h.dialogs.expectAnyMessage(recoveryOfferTitle(), Buttons::YesNo, answer);
    toStartWindow(h);
    const QString question = h.dialogs.shownTexts.value(0);
    return question;
}

inline void typeInto(QPlainTextEdit *box, const QString &text)
{
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, text);
}

} // namespace brevant::test
