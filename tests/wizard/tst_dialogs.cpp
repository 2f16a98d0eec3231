// The real message boxes, driven with real keys: a question is answered
// only by its buttons.
#include "testmain.h"
#include "ui/qtservices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
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
    void detailTextStandsBelowThePrompt();
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

BREVANT_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
