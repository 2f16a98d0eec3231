// The questionnaire as constant data: order, names and texts.
#include "core/catalogue.h"

#include <QSet>
#include <QTest>

using namespace brevant;

class tst_Catalogue : public QObject {
    Q_OBJECT
private slots:
    void itemsRunPageByPageInScreenOrder();
    void controlNamesAreDistinct();
    void answerBoxesAndPrompts();
    void pages_data();
    void pages();
    void oddTextsKeptCharacterForCharacter_data();
    void oddTextsKeptCharacterForCharacter();
    void reportHeadings();
    void exampleTexts();
};

void tst_Catalogue::itemsRunPageByPageInScreenOrder()
{
    const auto &c = QuestionnaireCatalogue::instance();
    QCOMPARE(c.items().size(), 27);
    QCOMPARE(c.pages().size(), 10);
    const QStringList expected = {
        "desc1", "desc2a", "desc2b", "desc3", "desc4", "desc21a", "desc21b", "desc21c", "desc21d",
        "desc22", "desc221aed", "desc221amajor", "desc221aminor", "desc221acog", "desc221ielectives",
        "desc222b", "desc223c", "desc224di", "desc224dii", "desc224diii", "desc224div", "desc23i",
        "desc23ii", "desc23iii", "desc23iv", "desc23v", "desc23std"};
    QStringList names;
    int lastPage = 1;
    for (const QuestionnaireItem &item : c.items()) {
        names << item.responseBox;
        QCOMPARE(item.number, names.size());
        QVERIFY(item.page == lastPage || item.page == lastPage + 1);
        lastPage = item.page;
    }
    QCOMPARE(names, expected);
    int total = 0;
    for (int p = 1; p <= 10; ++p) {
        const int n = int(c.itemsOfPage(p).size());
        QVERIFY2(n >= 2 && n <= 4, qPrintable(QString::number(p)));
        total += n;
    }
    QCOMPARE(total, 27);
}

void tst_Catalogue::controlNamesAreDistinct()
{
    const auto &c = QuestionnaireCatalogue::instance();
    QSet<QString> responses, answers;
    for (int p = 1; p <= 10; ++p) {
        // Within a page every control name stands for one control.
        QSet<QString> onPage;
        int controls = 0;
        auto add = [&](const QString &name) {
            if (name.isEmpty())
                return;
            onPage.insert(name);
            ++controls;
        };
        const QuestionnairePage &page = c.page(p);
        add(page.heading.name);
        for (const PageFrame &f : page.frames) {
            add(f.name);
            for (const LabelText &l : f.intro)
                add(l.name);
        }
        for (const QuestionnaireItem *item : c.itemsOfPage(p)) {
            add(item->statement.name);
            add(item->answerBox);
            add(item->answerPrompt);
            add(item->responseBox);
            add(item->responsePrompt);
            add(item->helpLabel);
            responses.insert(item->responseBox);
            if (item->hasAnswer())
                answers.insert(item->answerBox);
        }
        QCOMPARE(onPage.size(), controls);
    }
    QCOMPARE(responses.size(), 27);
    QCOMPARE(answers.size(), 16);
}

void tst_Catalogue::answerBoxesAndPrompts()
{
    const auto &c = QuestionnaireCatalogue::instance();
    QStringList answerBoxes;
    for (const QuestionnaireItem &item : c.items()) {
        if (item.hasAnswer()) {
            answerBoxes << item.answerBox;
            QVERIFY(item.answerBox.startsWith(QLatin1String("no")));
            QCOMPARE(item.responsePromptText,
                     QStringLiteral("Type in a detailed description of how the requirement is met:"));
        }
        QVERIFY(item.responseBox.startsWith(QLatin1String("desc")));
    }
    QCOMPARE(answerBoxes, (QStringList{"no1", "no2a", "no2b", "no3", "no4", "no22", "no221aed",
                                       "no221amajor", "no221aminor", "no221acog", "no222b", "no223c",
                                       "no224di", "no224dii", "no224diii", "no224div"}));
    QCOMPARE(c.item(6).responsePromptText, QStringLiteral("Type in your response below"));
    for (int n : {7, 8, 9, 15})
        QCOMPARE(c.item(n).responsePromptText, QStringLiteral("Type in your response below:"));
    for (int n = 22; n <= 27; ++n)
        QVERIFY(c.item(n).responsePrompt.isEmpty());
    QCOMPARE(QuestionnaireCatalogue::answerPromptText(3), QStringLiteral("Are the requirements met?"));
    QCOMPARE(QuestionnaireCatalogue::answerPromptText(5), QStringLiteral("Is the requirement met?"));
    // Pages 4 and 10 ask no Yes/No question.
    for (int p : {4, 10}) {
        for (const QuestionnaireItem *item : c.itemsOfPage(p))
            QVERIFY(!item->hasAnswer());
    }
}

void tst_Catalogue::pages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QString>("next");
    QTest::newRow("1") << 1 << "Std1"
                       << QStringList{"5-1:0    A. DEPARTMENT DETERMINANTS", "5-1:1 Minimum Department Size",
                                      "5-1:2 Minimum Number of Faculty per Major/Minor"}
                       << "Next";
    QTest::newRow("3") << 3 << "Std3"
                       << QStringList{"5-1:4 Course Offerings", "5-2:1 Definition of Degrees"} << "Next";
    QTest::newRow("4") << 4 << "Std4"
                       << QStringList{"5-2:1  Definition of Degrees", "5-2:1  Definition of Degrees",
                                      "5-2:1  Definition of Degrees"}
                       << "Next";
    QTest::newRow("5") << 5 << "Std5"
                       << QStringList{"5-2:2  Baccalaureate Degree Requirements",
                                      "5-2:2.1  a.  Bachelor of Arts/Bachelor of Science Degree Components"}
                       << "Next";
    QTest::newRow("6") << 6 << "std6"
                       << QStringList{"5-2:2.1  a. Bachelor of Arts/Bachelor of Science Degree Components"}
                       << "Next";
    QTest::newRow("9") << 9 << "Std9"
                       << QStringList{"5-2:2.4  d. Professional Degree Components",
                                      "5-2:3    3.  Associate Degree Requirements"}
                       << "Next";
    QTest::newRow("10") << 10 << "Std10" << QStringList{"5-2:3  3.  Associate Degree Requirements"}
                        << "Finish";
}

void tst_Catalogue::pages()
{
    QFETCH(int, page);
    QFETCH(QString, window);
    QFETCH(QStringList, frames);
    QFETCH(QString, next);
    const QuestionnairePage &p = QuestionnaireCatalogue::instance().page(page);
    QCOMPARE(p.window, window);
    QCOMPARE(p.caption, QStringLiteral("Brevant Policies (Page %1 of 10)").arg(page));
    QStringList captions;
    for (const PageFrame &f : p.frames)
        captions << f.caption;
    QCOMPARE(captions, frames);
    QCOMPARE(p.nextCaption, next);
    QCOMPARE(p.hasBack, page != 1);
    QCOMPARE(p.heading.text, page == 3 ? QStringLiteral("5-2:0  B. DEGREE STRUCTURE") : QString());
}

void tst_Catalogue::oddTextsKeptCharacterForCharacter_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");
    QTest::newRow("trailing blank, item 3")
        << 3 << "b. There must be at least one faculty available to the department for each minor offered in a field of study in which a major is not offered. ";
    QTest::newRow("to135%") << 5 << "A department may offer courses that are approved for general education, degree core, service courses required for other programs, and courses for its major/minor (or program). The number of credits in courses listed in the bulletin by the department for its majors/minors shall be limited to135% of the number of departmental credits required for the majors/minors. Courses common to multiple majors/minors shall be counted only once.";
    QTest::newRow("double blank, item 7")
        << 7 << "b. A bachelor of Science (BS) degree  is conferred upon a student who completes requirements at the baccalaureate level in the sciences, applied sciences and related areas.";
    QTest::newRow("underscores")
        << 8 << "c.  Professional degrees (Bachelor of Science in ___________________, or Bachelor of ____________,) are conferred upon a student who completes requirements at the baccalaureate level in the professional programs.";
    QTest::newRow("BSmajor, any any")
        << 12 << "i.  A Major: A BA/BSmajor shall consist of a specified set of courses ranging from 30 to 40 credits taken within a single field of study. An interdisciplinary major which combines courses from two or more fields of study may not exceed 60 credits, with a maximum of 40 credits coming from any any one field of study. It is recommended that at least 35% of its course work be reserved for electives in the major.";
    QTest::newRow("AMinor") << 13 << "i.  A Minor: AMinor is not required. However, minors may be required for specific majors or programs, A minor shall consist of a specific set of courses taken within a field of study consisting of 20 to 22 credits. A minor used for teacher certification that includes courses from more than one field of study shall consist of 20 to 24 credits with no more than 20 credits from a single field of study.";
    QTest::newRow("Commitee, trailing blank")
        << 18 << "i.  General Education:  As approved by the General Education Commitee and the relevant professional degree council or school courses and curricula commitee/faculty. If a program is specifically accredited or certified, the requirements of the accreditation/certification body must be considered in establishing general education requirements for that program. ";
    QTest::newRow("Congate") << 25 << "iv.  Congate Courses may be required.";
    QTest::newRow("standard") << 27 << "Standard = 24 credits/FTE faculty";
}

void tst_Catalogue::oddTextsKeptCharacterForCharacter()
{
    QFETCH(int, item);
    QFETCH(QString, text);
    QCOMPARE(QuestionnaireCatalogue::instance().item(item).statement.text, text);
}

void tst_Catalogue::reportHeadings()
{
    const auto &c = QuestionnaireCatalogue::instance();
    QCOMPARE(c.headingTexts(1),
             (QStringList{"5-1:0    A. DEPARTMENT DETERMINANTS",
                          "Departments shall be organized to offer a coherent grouping of majors and/or professional programs consistent with their mission. The number of faculty in a department shall be sufficient to adequately support the programs offered. The following represent minimum standards.",
                          "5-1:1 Minimum Department Size",
                          "There must be atleast two FTE faculty members in a department. Atleast half of the courses offered by a department must be taught by full-time faculty of that department"}));
    QCOMPARE(c.headingTexts(6).first(), QStringLiteral("5-2:0  B. DEGREE STRUCTURE"));
    QCOMPARE(c.headingTexts(6).at(1), QStringLiteral("5-2:1 Definition of Degrees"));
    QCOMPARE(c.headingTexts(22).size(), 3);
    QCOMPARE(c.headingTexts(22).at(1),
             QStringLiteral("An associate degree program shall consist of the following components for a minumum of 62 credits. "));
    // Items that share their frame with an earlier item print only their statement.
    for (int n : {12, 14, 15, 19, 20, 23, 24, 26, 27}) {
        QCOMPARE(c.headingTexts(n).size(), 1);
        QCOMPARE(c.headingTexts(n).first(), c.item(n).statement.text);
    }
    for (int n = 1; n <= 27; ++n) {
        if (n == 1 || n == 6)
            QCOMPARE(c.headingTexts(n).size(), 4);
        for (const QString &t : c.headingTexts(n))
            QVERIFY2(!t.isEmpty(), qPrintable(QString::number(n)));
    }
}

void tst_Catalogue::exampleTexts()
{
    const auto &c = QuestionnaireCatalogue::instance();
    QCOMPARE(c.item(1).example,
             QStringLiteral("The Dezezova zo Rodozazodoze meets the two FTE faculty members requirement. There are 8 FTE faculty presently employed by the division. During the 2004-2005 academic year the full-time faculty taught 36 of the 40 total courses offered in Dezezova zo Rodozazodoze."));
    QCOMPARE(c.item(6).example,
             QStringLiteral("The Dezezova zo Rodozazodoze does not offer a Bachelor or Arts (BA) degree"));
    QVERIFY(c.item(13).example.endsWith(QLatin1String("ARCH acronyms. ")));
    QVERIFY(!c.item(21).example.contains(QLatin1String("(BSA)")));
    for (int n = 22; n <= 26; ++n)
        QCOMPARE(c.item(n).example, c.item(9).example);
    // Item 4 shows its list with the two characters backslash and n.
    QVERIFY(c.item(4).example.contains(QLatin1String(" \\n ")));
    QVERIFY(!c.item(4).example.contains(QLatin1Char('\n')));
    QVERIFY(c.item(4).example.contains(QLatin1String("Administration and Faculty:")));
    QVERIFY(c.item(4).example.contains(QLatin1String("Adjuct Faculty")));
    QVERIFY(c.item(27).example.endsWith(QLatin1String("r........")) );
    QVERIFY(!c.item(2).example.endsWith(QLatin1Char('.')));
    // The long examples keep close to their intended lengths.
    const QList<QPair<int, int>> lengths = {{2, 443}, {4, 456}, {5, 641}, {10, 678},
                                            {11, 392}, {12, 477}, {14, 346}, {27, 470}};
    for (const auto &[item, length] : lengths) {
        const int actual = int(c.item(item).example.size());
        QVERIFY2(qAbs(actual - length) <= 20, qPrintable(QStringLiteral("item %1: %2").arg(item).arg(actual)));
    }
    QVERIFY(c.item(5).example.startsWith(QLatin1String("The Dezezova zo Rodozazodoze meets the requirements in the area of course offerings.")));
}

QTEST_APPLESS_MAIN(tst_Catalogue)
#include "tst_catalogue.moc"
