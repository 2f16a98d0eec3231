// The real message boxes, driven with real keys: a question is answered
// only by its buttons. The real save dialog reports the file type chosen.
#include "document/reportwriters.h"
#include "testmain.h"
#include "ui/qtservices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace brevant;

Q_DECLARE_METATYPE(brevant::Answer)

namespace {

// The message box on screen, once it is there.
QMessageBox *shownBox()
{
    return qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
}

QAbstractButton *buttonOf(QMessageBox *box, QMessageBox::StandardButton which)
{
    return box ? box->button(which) : nullptr;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void questionIgnoresEscapeAndTheCloseButton_data();
    void questionIgnoresEscapeAndTheCloseButton();
    void messageWithOkClosesAsUsual();
    void saveDialogReportsTheFileTypeChosen_data();
    void saveDialogReportsTheFileTypeChosen();
    void detailTextStandsBelowThePrompt();
    void choiceAnsweredByItsButtons();
};

void TestDialogs::questionIgnoresEscapeAndTheCloseButton_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("pressed");
    QTest::addColumn<Answer>("answer");
    QTest::newRow("then Yes") << QMessageBox::Yes << Answer::Yes;
    QTest::newRow("then No") << QMessageBox::No << Answer::No;
}

void TestDialogs::questionIgnoresEscapeAndTheCloseButton()
{
    QFETCH(QMessageBox::StandardButton, pressed);
    QFETCH(Answer, answer);
    QtDialogs dialogs;
    QStringList seen;
    QTimer::singleShot(0, [&] {
        QMessageBox *box = shownBox();
        if (!box) {
            seen << "no box";
            return;
        }
        seen << box->windowTitle() << box->text();
        QTest::keyClick(box, Qt::Key_Escape);
        seen << (box->isVisible() ? "open after Escape" : "closed by Escape");
        // The close button of the title bar asks the window to close.
        box->close();
        seen << (box->isVisible() ? "open after close" : "closed by close");
        seen << (box->windowFlags().testFlag(Qt::WindowCloseButtonHint) ? "close button" : "no close button");
        if (QAbstractButton *button = buttonOf(box, pressed))
            QTest::keyClick(button, Qt::Key_Space);
    });
    const Answer got = dialogs.message(nullptr, "Requirements are not met, Do you want to continue",
                                       Buttons::YesNo, Icon::Critical, "Exiting");
    QCOMPARE(seen, QStringList({"Exiting", "Requirements are not met, Do you want to continue",
                                "open after Escape", "open after close", "no close button"}));
    QCOMPARE(got, answer);
}

void TestDialogs::messageWithOkClosesAsUsual()
{
    QtDialogs dialogs;
    bool sent = false;
    QTimer::singleShot(0, [&] {
        if (QMessageBox *box = shownBox()) {
            QTest::keyClick(box, Qt::Key_Escape);
            sent = true;
        }
    });
    // Escape answers a message that has only OK.
    QCOMPARE(dialogs.message(nullptr, "Successfully Saved..", Buttons::Ok, Icon::None, "Saved"), Answer::Ok);
    QVERIFY(sent);
}

void TestDialogs::saveDialogReportsTheFileTypeChosen_data()
{
    QTest::addColumn<int>("downs");   // presses of the Down key on the file types
    QTest::newRow("left on the first") << 0;
    QTest::newRow("PDF") << 1;
    QTest::newRow("OpenDocument Text") << 2;
    QTest::newRow("Word Document") << 3;
}

// The template window's Save dialog, as Qt shows it: it opens on the first
// file type, takes the name as typed and reports the type it was left on.
void TestDialogs::saveDialogReportsTheFileTypeChosen()
{
    QFETCH(int, downs);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QtDialogs dialogs;
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        auto *types = dialog ? dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")) : nullptr;
        auto *name = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!types || !name) {
            seen << "no save dialog";
            if (dialog)
                dialog->reject();
            return;
        }
        for (int i = 0; i < types->count(); ++i)
            seen << types->itemText(i);
        seen << types->currentText();
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(types, Qt::Key_Down);
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, QStringLiteral("my report"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    const FileDialogOutcome outcome = dialogs.showSave(nullptr, reportSaveFilter(), dir.filePath(QStringLiteral("report")),
                                                       Overwrite::Replace);
    QCOMPARE(seen, QStringList({"html Files (*.html)", "PDF Files (*.pdf)", "OpenDocument Text (*.odt)",
                                "Word Document (*.docx)", "html Files (*.html)"}));
    QCOMPARE(int(outcome.kind), int(FileDialogOutcome::Kind::Chosen));
    QCOMPARE(outcome.path, dir.filePath(QStringLiteral("my report")));
    QCOMPARE(outcome.filterIndex, downs);
}

void TestDialogs::detailTextStandsBelowThePrompt()
{
    QtDialogs dialogs;
    QStringList seen;
    const auto look = [&] {
        QMessageBox *box = shownBox();
        if (!box) {
            seen << "no box";
            return;
        }
        auto *details = box->findChild<QLabel *>("qt_msgbox_informativelabel");
        seen << box->windowTitle() << box->text() << box->informativeText()
             << (details && details->textFormat() == Qt::PlainText ? "plain" : "not plain")
             << (box->icon() == QMessageBox::Critical ? "critical" : "other icon");
        QTest::keyClick(box->button(QMessageBox::Yes), Qt::Key_Space);
    };
    QTimer::singleShot(0, look);
    const QString details = "There must be <b>two</b>\na. There must be";
    QCOMPARE(dialogs.message(nullptr, "Requirements are not met, Do you want to continue",
                             Buttons::YesNo, Icon::Critical, "Exiting", details),
             Answer::Yes);
    QCOMPARE(seen, QStringList({"Exiting", "Requirements are not met, Do you want to continue",
                                details, "plain", "critical"}));

    // Without details the box is as it always was: no detail text at all.
    seen.clear();
    QTimer::singleShot(0, [&] {
        QMessageBox *box = shownBox();
        seen << (box && box->informativeText().isEmpty() ? "none" : "some")
             << (box && !box->findChild<QLabel *>("qt_msgbox_informativelabel") ? "no label" : "label");
        if (box)
            QTest::keyClick(box->button(QMessageBox::Yes), Qt::Key_Space);
    });
    dialogs.message(nullptr, "Requirements are not met, Do you want to continue", Buttons::YesNo,
                    Icon::Critical, "Exiting");
    QCOMPARE(seen, QStringList({"none", "no label"}));
}

// A question with buttons of its own: the first is the default (Enter),
// the last the way out (Escape), and each answers with its own index.
void TestDialogs::choiceAnsweredByItsButtons()
{
    const QStringList choices = {"Save a Copy...", "Replace It", "Cancel"};
    QtDialogs dialogs;
    const auto answer = [&](const std::function<void(QMessageBox *)> &press) {
        QStringList seen;
        QTimer::singleShot(0, [&] {
            QMessageBox *box = shownBox();
            if (!box) {
                seen << "no box";
                return;
            }
            for (QAbstractButton *b : box->buttons())
                seen << b->text();
            seen << box->text();
            press(box);
        });
        const int got = dialogs.choose(nullptr, "The work file <b>x</b> was changed", choices, Icon::Critical,
                                       "Work File Changed");
        return std::pair(got, seen);
    };
    const auto [byEnter, seen] = answer([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Return); });
    QCOMPARE(byEnter, 0);
    for (const QString &choice : choices)
        QVERIFY2(seen.contains(choice), qPrintable(seen.join(u'|')));
    QVERIFY(seen.contains("The work file <b>x</b> was changed"));
    QCOMPARE(answer([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); }).first, 2);
    QCOMPARE(answer([](QMessageBox *box) {
                 for (QAbstractButton *b : box->buttons()) {
                     if (b->text() == "Replace It")
                         QTest::keyClick(b, Qt::Key_Space);
                 }
             }).first,
             1);
}

BREVANT_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
