// The review file as other tools may write it: read, changed and written
// back with every key kept; damaged files refused with a reason; the
// passages of comments found again; two copies merged as git's driver.

#include "core/review.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace brevant;
using namespace Qt::Literals::StringLiterals;

namespace {

QJsonObject json(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

// A file another tool wrote: the example of the guide, with keys of its
// own at the top, in a requirement, in a comment and in a reply.
const QByteArray kWritten = R"({"format": "brevant-review", "version": 1, "tool": {"name": "office-sync"},
 "details": {"department": "History", "institution": "Dunvale University", "cycle": "2026-27",
             "authors": ["A. Chair"], "phone": "555"},
 "requirements": {
   "2": {"answer": "No"},
   "3": {"answer": "Yes", "state": "approved", "weight": 3,
         "comments": [{"id": "c1", "author": "Quality Office", "date": "2026-11-30T09:15:00Z",
                       "quote": "Ten FTE faculty positions", "text": "Give the head count as well.",
                       "resolved": false, "colour": "yellow",
                       "replies": [{"author": "Chair", "date": "2026-12-01T10:00:00Z", "text": "Will do.",
                                    "mood": "keen"}]}]},
   "x-notes": "kept too"}})";

Review reviewWith(const std::function<void(Review &)> &change)
{
    ReviewReading read = parseReview(kWritten);
    change(read.review);
    return read.review;
}

ReviewComment comment(const QString &id, const QString &text, bool resolved = false)
{
    ReviewComment c;
    c.id = id;
    c.author = u"Quality Office"_s;
    c.date = u"2026-12-02T08:00:00Z"_s;
    c.quote = u"faculty"_s;
    c.text = text;
    c.resolved = resolved;
    return c;
}

} // namespace

class TestReview : public QObject {
    Q_OBJECT
private slots:
    void readsChangesAndKeepsEveryKey();
    void laterVersionKeepsItsVersionAndState();
    void damagedFilesGiveAReason_data();
    void damagedFilesGiveAReason();
    void passagesAreFoundAgain();
    void mergesTwoCopies();
};

void TestReview::readsChangesAndKeepsEveryKey()
{
    const ReviewReading read = parseReview(kWritten);
    QVERIFY2(read.ok, qPrintable(read.reason));
    const Review &review = read.review;
    QCOMPARE(review.requirement(2).answer, std::optional<QString>(u"No"_s));
    QCOMPARE(review.requirement(3).currentState(), ReviewState::Approved);
    QCOMPARE(review.requirement(4).currentState(), ReviewState::Draft);
    QCOMPARE(review.requirement(3).comments.size(), 1);
    QCOMPARE(review.requirement(3).comments[0].replies[0].text, u"Will do."_s);
    QCOMPARE(review.details.authors, QStringList{u"A. Chair"_s});
    QCOMPARE(review.approvedCount(), 1);
    QCOMPARE(review.openCommentCount(), 1);
    // The answers in the questionnaire's order: item 1 has none recorded.
    QCOMPARE(review.answers().mid(0, 3), (QStringList{QString(), u"No"_s, u"Yes"_s}));

    // Changed and written: what changed is there, and every key it did
    // not know, at every level, as it was.
    Review changed = review;
    changed.requirement(2).answer = u"Yes, from 2027"_s;
    changed.requirement(3).comments[0].resolved = true;
    changed.requirement(5).state = ReviewState::ChangesRequested;
    const QJsonObject o = json(reviewBytes(changed));
    QCOMPARE(o.value(u"tool"_s).toObject().value(u"name"_s).toString(), u"office-sync"_s);
    QCOMPARE(o.value(u"details"_s).toObject().value(u"phone"_s).toString(), u"555"_s);
    const QJsonObject requirements = o.value(u"requirements"_s).toObject();
    QCOMPARE(requirements.value(u"x-notes"_s).toString(), u"kept too"_s);
    QCOMPARE(requirements.value(u"2"_s).toObject().value(u"answer"_s).toString(), u"Yes, from 2027"_s);
    QCOMPARE(requirements.value(u"3"_s).toObject().value(u"weight"_s).toInt(), 3);
    QCOMPARE(requirements.value(u"5"_s).toObject().value(u"state"_s).toString(), u"changes-requested"_s);
    const QJsonObject c1 = requirements.value(u"3"_s).toObject().value(u"comments"_s).toArray().at(0).toObject();
    QCOMPARE(c1.value(u"colour"_s).toString(), u"yellow"_s);
    QCOMPARE(c1.value(u"resolved"_s).toBool(), true);
    QCOMPARE(c1.value(u"replies"_s).toArray().at(0).toObject().value(u"mood"_s).toString(), u"keen"_s);
    QVERIFY(!requirements.contains(u"4"_s));   // nothing to say: no entry

    // Read again, written again: the same bytes.
    const QByteArray once = reviewBytes(changed);
    QCOMPARE(reviewBytes(parseReview(once).review), once);
}

void TestReview::laterVersionKeepsItsVersionAndState()
{
    QByteArray later = kWritten;
    later.replace("\"version\": 1", "\"version\": 3");
    later.replace("\"state\": \"approved\"", "\"state\": \"archived\"");
    const ReviewReading read = parseReview(later);
    QVERIFY2(read.ok, qPrintable(read.reason));
    // A state it does not know reads as a draft here, and stays as written.
    QCOMPARE(read.review.requirement(3).currentState(), ReviewState::Draft);
    QJsonObject o = json(reviewBytes(read.review));
    QCOMPARE(o.value(u"version"_s).toInt(), 3);
    QCOMPARE(o.value(u"requirements"_s).toObject().value(u"3"_s).toObject().value(u"state"_s).toString(),
             u"archived"_s);
    // Set here, it is set.
    Review set = read.review;
    set.requirement(3).state = ReviewState::InReview;
    o = json(reviewBytes(set));
    QCOMPARE(o.value(u"requirements"_s).toObject().value(u"3"_s).toObject().value(u"state"_s).toString(),
             u"in-review"_s);
}

void TestReview::damagedFilesGiveAReason_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("cut short") << kWritten.left(200) << u"not JSON"_s;
    QTest::newRow("another format") << QByteArray(R"({"format": "x", "version": 1})") << u"not a review file"_s;
    QTest::newRow("a list") << QByteArray("[1, 2]") << u"not a review file"_s;
    QTest::newRow("no version") << QByteArray(R"({"format": "brevant-review"})") << u"version"_s;
    QTest::newRow("answer a number")
        << QByteArray(R"({"format": "brevant-review", "version": 1, "requirements": {"2": {"answer": 5}}})")
        << u"\"answer\" of requirement 2 is not a text"_s;
    QTest::newRow("comments an object")
        << QByteArray(R"({"format": "brevant-review", "version": 1, "requirements": {"2": {"comments": {}}}})")
        << u"\"comments\" of requirement 2 is not a list"_s;
    QTest::newRow("resolved a text")
        << QByteArray(R"({"format": "brevant-review", "version": 1, "requirements": {"2": {"comments": [{"resolved": "no"}]}}})")
        << u"comment 1 of requirement 2"_s;
}

void TestReview::damagedFilesGiveAReason()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const ReviewReading read = parseReview(bytes);
    QVERIFY(!read.ok);
    QVERIFY2(read.reason.contains(reason), qPrintable(read.reason));
}

void TestReview::passagesAreFoundAgain()
{
    const QString text = u"Ten FTE faculty positions. Later: ten FTE faculty positions again; Ten FTE faculty positions."_s;
    const QString quote = u"Ten FTE faculty positions"_s;
    QCOMPARE(findQuote(text, quote, std::nullopt), 0);
    // The place nearest the one last saved, after text was typed before it.
    QCOMPARE(findQuote(text, quote, 60), text.lastIndexOf(quote));
    QCOMPARE(findQuote(text, quote, 5), 0);
    QCOMPARE(findQuote(u"The positions were cut."_s, quote, 0), -1);
    QCOMPARE(findQuote(text, QString(), 0), -1);
    // The fingerprint does not see how a line break was typed.
    QCOMPARE(textFingerprint(u"a\r\nb\u2029c"_s), textFingerprint(u"a\nb\nc"_s));
    QCOMPARE(textFingerprint(u"a"_s), u"ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb"_s);
}

// Two colleagues' copies of one review file: what each changed comes
// through, comments of both are there, and where both changed the same
// answer ours is kept and the place named.
void TestReview::mergesTwoCopies()
{
    const Review base = reviewWith([](Review &) {});
    const Review ours = reviewWith([](Review &r) {
        r.requirement(2).answer = u"Yes"_s;                        // ours alone
        r.requirement(4).answer = u"No"_s;                         // both, differently
        r.requirement(3).comments[0].resolved = true;              // resolved on our side
        r.requirement(7).comments << comment(u"c-ours"_s, u"Cite the bulletin."_s);
        r.requirement(7).saved = {u"a"_s, u"b"_s};
    });
    const Review theirs = reviewWith([](Review &r) {
        r.requirement(5).state = ReviewState::Approved;            // theirs alone
        r.requirement(4).answer = u"Partly"_s;
        r.requirement(3).comments[0].replies << ReviewReply{u"Office"_s, u"2026-12-03T09:00:00Z"_s, u"Thanks."_s, {}};
        r.requirement(7).comments << comment(u"c-theirs"_s, u"And the catalogue."_s);
        r.requirement(7).saved = {u"a"_s, u"c"_s};
        r.details.cycle = u"2027-28"_s;
    });
    const ReviewMerge merge = mergeReviews(base, ours, theirs);
    const Review &m = merge.merged;
    QCOMPARE(m.requirement(2).answer, std::optional<QString>(u"Yes"_s));
    QCOMPARE(m.requirement(5).currentState(), ReviewState::Approved);
    QCOMPARE(m.requirement(4).answer, std::optional<QString>(u"No"_s));
    QCOMPARE(merge.conflicts, QStringList{u"requirement 4: answer"_s});
    QCOMPARE(m.details.cycle, u"2027-28"_s);
    // The comment both touched: resolved, with the reply.
    QCOMPARE(m.requirement(3).comments.size(), 1);
    QVERIFY(m.requirement(3).comments[0].resolved);
    QCOMPARE(m.requirement(3).comments[0].replies.size(), 2);
    QCOMPARE(m.requirement(3).comments[0].replies[1].text, u"Thanks."_s);
    // Each side's new comment.
    QCOMPARE(m.requirement(7).comments.size(), 2);
    QCOMPARE(m.requirement(7).saved, (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    // With no ancestor at all, every comment of both is there.
    const ReviewMerge apart = mergeReviews(Review(), ours, theirs);
    QCOMPARE(apart.merged.requirement(7).comments.size(), 2);
    QCOMPARE(apart.merged.requirement(3).comments.size(), 1);
}

QTEST_GUILESS_MAIN(TestReview)
#include "tst_review.moc"
