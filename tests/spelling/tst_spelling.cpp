// Spell checking in the response boxes against the real broker: what is
// underlined, the context menu's entries, the personal word list (in a
// home folder of the test's own), no dictionary at all, and that the
// underline stays formatting: never in the text, the files or the
// recovery copy.
#include "files.h"
#include "harness.h"
#include "testmain.h"

#include "app/std11.h"
#include "core/catalogue.h"
#include "document/reportwriters.h"
#include "questionnaire/questionpage.h"
#include "report/templateselect.h"
#include "ui/spelling.h"
#include "workfile/recoveryrecorder.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

using namespace brevant;
using namespace brevant::test;

namespace {

// The home folder of this run: the personal word list goes there.
QTemporaryDir *home = nullptr;

QString personalWordList()
{
    return home->path() + QStringLiteral("/config/enchant/en_US.dic");
}

// The underlined words of a box, in order.
QStringList underlined(QPlainTextEdit *box)
{
    QStringList words;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
        for (const QTextLayout::FormatRange &r : b.layout()->formats()) {
            if (r.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline)
                words << b.text().mid(r.start, r.length);
        }
    }
    return words;
}

// Opens the box's context menu on the word that starts at position, and
// hands the menu to act while it is open.
void onContextMenu(QPlainTextEdit *box, int position, const std::function<void(QMenu *)> &act)
{
    QTextCursor at(box->document());
    at.setPosition(position + 1);
    const QPoint point = box->cursorRect(at).center();
    bool acted = false;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        act(menu);
        acted = true;
        if (menu)
            menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, box->viewport()->mapToGlobal(point));
    QApplication::sendEvent(box->viewport(), &event);
    QTRY_VERIFY(acted);
}

QStringList actionTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("|") : a->text());
    return texts;
}

QAction *actionNamed(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

} // namespace

class tst_Spelling : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void wordsOfAParagraph_data();
    void wordsOfAParagraph();
    void languageFromTheLocale();
    void misspeltWordsUnderlined();
    void contextMenuSuggestionsAndUndo();
    void addToDictionaryAndIgnoreAll();
    void noDictionaryNoUnderline();
    void underlineIsNeverText();
};

void tst_Spelling::initTestCase()
{
    Speller speller({"en_US"});
    QVERIFY2(speller.available(), "the American English dictionary is needed (Debian hunspell-en-us)");
}

void tst_Spelling::wordsOfAParagraph_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("plain") << "Three degrees offered." << QStringList{"Three", "degrees", "offered"};
    QTest::newRow("apostrophes inside") << "the department's 'own' don\u2019t" << QStringList{"the", "department's", "own", "don\u2019t"};
    QTest::newRow("digits left alone") << "ART104 in 2004-2005 and BSAS" << QStringList{"in", "and", "BSAS"};
    QTest::newRow("hyphen splits") << "full-time" << QStringList{"full", "time"};
    QTest::newRow("single letters left") << "a. b c" << QStringList{};
    QTest::newRow("accents") << "caf\u00e9 na\u0131ve" << QStringList{"caf\u00e9", "na\u0131ve"};
}

void tst_Spelling::wordsOfAParagraph()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QStringList got;
    for (const WordSpan &w : spellingWords(text))
        got << text.mid(w.start, w.length);
    QCOMPARE(got, words);
}

void tst_Spelling::languageFromTheLocale()
{
    QCOMPARE(Speller::languagesFor(QLocale(QLocale::German, QLocale::Germany)), (QStringList{"de_DE", "en_US"}));
    QCOMPARE(Speller::languagesFor(QLocale(QLocale::English, QLocale::UnitedStates)), QStringList{"en_US"});
    QCOMPARE(Speller::languagesFor(QLocale::c()), QStringList{"en_US"});
    // A language without a dictionary falls back to American English.
    Speller speller({"zz_ZZ", "en_US"});
    QCOMPARE(speller.language(), QStringLiteral("en_US"));
}

void tst_Spelling::misspeltWordsUnderlined()
{
    Speller speller({"en_US"});
    Harness h({.speller = &speller});
    h.continueToPage1();
    QPlainTextEdit *box = h.response(1);
    QVERIFY(QTest::qWaitForWindowActive(h.program->page(1)));
    box->setFocus();
    // The word being typed is left alone until it is left: by a blank, or
    // by moving the cursor away.
    QTest::keyClicks(box, "The departmnt");
    QTest::qWait(50);
    QCOMPARE(underlined(box), QStringList{});
    QTest::keyClicks(box, " offers");
    QTRY_COMPARE(underlined(box), QStringList{"departmnt"});
    QTest::keyClicks(box, " mor");
    QTest::keyClick(box, Qt::Key_Home);
    QTRY_COMPARE(underlined(box), (QStringList{"departmnt", "mor"}));
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, "e");
    QTest::keyClick(box, Qt::Key_Left);   // still in the word
    QTest::qWait(50);
    QCOMPARE(underlined(box), (QStringList{"departmnt", "mor"}));
    QTest::keyClick(box, Qt::Key_Home);
    QTRY_COMPARE(underlined(box), QStringList{"departmnt"});
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, " tset");
    QTest::qWait(50);
    QCOMPARE(underlined(box), QStringList{"departmnt"});
    h.response(2)->setFocus();   // leaving the box leaves the word
    QTRY_COMPARE(underlined(box), (QStringList{"departmnt", "tset"}));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(box, Qt::Key_Backspace);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->toPlainText(), QStringLiteral("The departmnt offers"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, "second paragrph here");
    QTRY_COMPARE(underlined(box), (QStringList{"departmnt", "paragrph"}));
    // Mending the word takes the underline away.
    box->moveCursor(QTextCursor::End);
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, "graph here");
    QTRY_COMPARE(underlined(box), QStringList{"departmnt"});
    QCOMPARE(box->toPlainText(), QStringLiteral("The departmnt offers\nsecond paragraph here"));

    // A box on a page not shown is checked once it is shown.
    h.response(3)->setPlainText("Minimum facculty");
    QTest::qWait(50);
    QCOMPARE(underlined(h.response(3)), QStringList{});
    h.dialogs.expectMessage("Requirements are not met, Do you want to continue", "Exiting",
                            Buttons::YesNo, Icon::Critical, Answer::Yes);
    h.click(h.program->page(1), "next");
    QTRY_COMPARE(underlined(h.response(3)), QStringList{"facculty"});
    VERIFY_DIALOGS(h);
}

void tst_Spelling::contextMenuSuggestionsAndUndo()
{
    Speller speller({"en_US"});
    Harness h({.speller = &speller});
    h.continueToPage1();
    QPlainTextEdit *box = h.response(1);
    box->setPlainText("The departmnt offers");
    QTRY_COMPARE(underlined(box), QStringList{"departmnt"});

    QStringList entries;
    onContextMenu(box, 4, [&](QMenu *menu) {
        QVERIFY(menu);
        entries = actionTexts(menu);
        QAction *replace = actionNamed(menu, "department");
        QVERIFY(replace);
        replace->trigger();
    });
    // Up to five suggestions at the top, then the two entries, then the
    // box's own menu.
    const qsizetype suggestions = entries.indexOf("|");
    QVERIFY2(suggestions >= 1 && suggestions <= 5, qPrintable(entries.join(", ")));
    QCOMPARE(entries.mid(suggestions, 4), (QStringList{"|", "Add to Dictionary", "Ignore All", "|"}));
    QVERIFY(entries.at(suggestions + 4).contains("Undo"));
    QCOMPARE(box->toPlainText(), QStringLiteral("The department offers"));
    QTRY_COMPARE(underlined(box), QStringList{});

    // One undo brings the word back.
    box->undo();
    QCOMPARE(box->toPlainText(), QStringLiteral("The departmnt offers"));

    // On a correct word the menu is the box's own.
    onContextMenu(box, 15, [&](QMenu *menu) {
        QVERIFY(menu);
        QVERIFY(menu->actions().first()->text().contains("Undo"));
    });
    VERIFY_DIALOGS(h);
}

void tst_Spelling::addToDictionaryAndIgnoreAll()
{
    Speller speller({"en_US"});
    Harness h({.speller = &speller});
    h.continueToPage1();
    QPlainTextEdit *box = h.response(1);
    QPlainTextEdit *other = h.response(2);
    box->setPlainText("Dezezova zo Rodozazodoze");
    other->setPlainText("Rodozazodoze Dezezova");
    QTRY_COMPARE(underlined(box), (QStringList{"Dezezova", "zo", "Rodozazodoze"}));
    QTRY_COMPARE(underlined(other), (QStringList{"Rodozazodoze", "Dezezova"}));

    onContextMenu(box, 0, [&](QMenu *menu) {
        QVERIFY(menu);
        actionNamed(menu, "Add to Dictionary")->trigger();
    });
    // Every box takes it, and the personal word list has it.
    QTRY_COMPARE(underlined(box), (QStringList{"zo", "Rodozazodoze"}));
    QTRY_COMPARE(underlined(other), QStringList{"Rodozazodoze"});
    QVERIFY(fileBytes(personalWordList()).contains("Dezezova"));

    onContextMenu(box, 12, [&](QMenu *menu) {
        QVERIFY(menu);
        actionNamed(menu, "Ignore All")->trigger();
    });
    QTRY_COMPARE(underlined(box), QStringList{"zo"});
    QTRY_COMPARE(underlined(other), QStringList{});
    QVERIFY(!fileBytes(personalWordList()).contains("Rodozazodoze"));

    // Another run knows the added word, not the ignored one.
    Speller next({"en_US"});
    QVERIFY(!next.isMisspelt("Dezezova"));
    QVERIFY(next.isMisspelt("Rodozazodoze"));
    QCOMPARE(box->toPlainText(), QStringLiteral("Dezezova zo Rodozazodoze"));
}

void tst_Spelling::noDictionaryNoUnderline()
{
    // No dictionary for the language, and nothing to fall back to.
    Speller none({"zz_ZZ"});
    QVERIFY(!none.available());
    QVERIFY(!none.isMisspelt("departmnt"));
    QCOMPARE(none.suggestions("departmnt"), QStringList{});
    none.addToDictionary("departmnt");
    none.ignoreAll("departmnt");

    Harness h({.speller = &none});
    h.continueToPage1();
    QPlainTextEdit *box = h.response(1);
    QTest::keyClicks(box, "The departmnt offers");
    QTest::qWait(50);
    QCOMPARE(underlined(box), QStringList{});
    onContextMenu(box, 4, [&](QMenu *menu) {
        QVERIFY(menu);
        QVERIFY(!actionNamed(menu, "Add to Dictionary"));
        QVERIFY(menu->actions().first()->text().contains("Undo"));
    });
    QCOMPARE(box->toPlainText(), QStringLiteral("The departmnt offers"));
    VERIFY_DIALOGS(h);
}

void tst_Spelling::underlineIsNeverText()
{
    Speller speller({"en_US"});
    HarnessOptions options{.programFolder = builtProgramFolder(), .speller = &speller};
    Harness h(options);
    h.continueToPage1();
    h.fillAll("Several wrods in respons ");
    RecoveryRecorder &recorder = h.program->recovery();
    recorder.flush();
    recorder.markClean();
    QVERIFY(!recorder.unsaved());

    // Underlining may report a change of the document, but one that
    // changes no text; the recovery copy takes it for none.
    QPlainTextEdit *box = h.response(1);
    QTRY_COMPARE(underlined(box), (QStringList{"wrods", "respons"}));
    QVERIFY(!recorder.unsaved());
    QSignalSpy changes(box->document(), &QTextDocument::contentsChange);
    speller.ignoreAll("respons");
    QTRY_COMPARE(underlined(box), QStringList{"wrods"});
    for (const QList<QVariant> &change : changes)
        QCOMPARE(change.at(1).toInt(), change.at(2).toInt());
    QVERIFY(!recorder.unsaved());
    recorder.flush();
    QVERIFY(!recorder.unsaved());
    QVERIFY(!box->document()->isModified());
    QVERIFY(!box->document()->isUndoAvailable());

    // Work file and HTML report hold the text only: the same bytes as from
    // a program without spell checking.
    QTemporaryDir out;
    const auto saveBoth = [&](Harness &with, const QString &name) {
        with.dialogs.expectSave("Dat Files (*.dat)|*.dat", FileDialogOutcome::chosen(out.filePath(name + ".dat")))
            .expectMessage("Successfully Saved..", "Saved");
        with.click(with.program->page(1), "Save");
        with.program->showWindow(with.program->std11());
        TemplateSelect *templates = with.program->templateSelect();
        templates->findChild<QRadioButton *>("OM")->click();
        with.dialogs.expectSave(reportSaveFilter(), FileDialogOutcome::chosen(out.filePath(name + ".html")))
            .expectMessage("Successfully Saved...", "Saving");
        with.click(templates, "Save");
    };
    saveBoth(h, "spelling");
    VERIFY_DIALOGS(h);
    Harness plain({.programFolder = builtProgramFolder()});
    plain.continueToPage1();
    plain.fillAll("Several wrods in respons ");
    saveBoth(plain, "plain");
    VERIFY_DIALOGS(plain);
    QCOMPARE(fileBytes(out.filePath("spelling.dat")), fileBytes(out.filePath("plain.dat")));
    QVERIFY(fileBytes(out.filePath("plain.dat")).contains("Several wrods in respons 1\r\n"));
    QByteArray html = fileBytes(out.filePath("spelling.html"));
    QVERIFY(!html.isEmpty());
    QCOMPARE(html, fileBytes(out.filePath("plain.html")));
}

int main(int argc, char *argv[])
{
    // The personal word list and everything else of the user's goes to a
    // home folder of the test's own, set before the broker reads it.
    QTemporaryDir folder;
    home = &folder;
    qputenv("HOME", folder.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (folder.path() + "/config").toLocal8Bit());
    qunsetenv("ENCHANT_CONFIG_DIR");
    brevant::test::chooseOffscreenPlatform();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_Spelling tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_spelling.moc"
