#pragma once

#include "core/catalogue.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace brevant {

// What the work file cannot hold, in a file of its own beside it,
// "<work file>.review.json": the answers, each requirement's review state,
// the comments on its passages, the document's details and the
// fingerprints of the texts as saved. UTF-8 JSON that other tools may read
// and write:
//
//   {"format": "brevant-review", "version": 1,
//    "details": {"department": "...", "institution": "...", "cycle": "2026-27", "authors": ["..."]},
//    "requirements": {"2": {"answer": "No", "state": "in-review", "comments": [...], "saved": [...]}}}
//
// Every key the program does not know is kept as it is, at every level,
// through every Save; a file of a later version is read for what this one
// knows and written back with its own version.

inline constexpr char kReviewFormat[] = "brevant-review";
inline constexpr int kReviewVersion = 1;
// The fingerprints of a requirement's saved texts kept, the newest last.
inline constexpr int kSavedFingerprints = 50;

// Where a requirement stands with the quality office.
enum class ReviewState { Draft, InReview, ChangesRequested, Approved };
// As the file writes it: "draft", "in-review", "changes-requested", "approved".
QString stateKey(ReviewState state);
std::optional<ReviewState> stateFromKey(const QString &key);
// As the windows say it: "draft", "in review", "changes requested", "approved".
QString stateWords(ReviewState state);

struct ReviewReply {
    QString author;
    QString date;   // ISO 8601, UTC
    QString text;
    QJsonObject kept;   // as read, with the keys the program does not know
};

struct ReviewComment {
    QString id;
    QString author;
    QString date;
    // The passage the comment was made on, found again in the response as
    // it changes (findQuote); offset, the passage's place when last saved,
    // chooses among repeated quotes.
    QString quote;
    std::optional<qint64> offset;
    QString text;
    bool resolved = false;
    QList<ReviewReply> replies;
    QJsonObject kept;
};

struct RequirementReview {
    std::optional<QString> answer;      // the answer box's text as typed; none: not recorded
    std::optional<ReviewState> state;   // none: draft
    QList<ReviewComment> comments;
    QStringList saved;                  // SHA-256 of the text at each save, hex, newest last
    QJsonObject kept;

    ReviewState currentState() const { return state.value_or(ReviewState::Draft); }
    int openComments() const;
};

struct ReviewDetails {
    QString department;
    QString institution;
    QString cycle;                      // "2026-27"
    QStringList authors;
    QJsonObject kept;

    bool isEmpty() const;
};

struct Review {
    int version = kReviewVersion;       // as read; a later one is written back as it was
    ReviewDetails details;
    std::array<RequirementReview, kItemCount> requirements;
    QJsonObject kept;
    QJsonObject keptRequirements;       // the "requirements" object as read (keys other than 1..27 stay)

    RequirementReview &requirement(int item) { return requirements.at(std::size_t(item - 1)); }
    const RequirementReview &requirement(int item) const { return requirements.at(std::size_t(item - 1)); }
    // The answers of the items with an answer box, as the questionnaire
    // lists them; an item with none recorded gives a null string.
    QStringList answers() const;
    int approvedCount() const;
    int openCommentCount() const;
};

// A new comment's id, unique across the copies colleagues keep.
QString newCommentId();

// The review file of a work file: "<work file>.review.json".
QString reviewPathFor(const QString &workFile);

// A review file read: the review, or why it cannot be used.
struct ReviewReading {
    bool ok = false;
    Review review;
    QString reason;
};
ReviewReading parseReview(const QByteArray &bytes);
// Reads the review file at path; a file that is not there gives an empty
// review (ok). A file larger than any review file is refused.
ReviewReading readReview(const QString &path);

// The review as its file holds it (UTF-8 JSON, indented).
QByteArray reviewBytes(const Review &review);

// Where quote stands in text: of its places, the one nearest offset (the
// first when none is given); -1 when the text no longer holds it.
qsizetype findQuote(QStringView text, QStringView quote, std::optional<qint64> offset);

// The fingerprint of a requirement's text as saved: SHA-256 of its UTF-8,
// every line break as LF, in hex.
QString textFingerprint(QStringView text);

// The three-way merge of two review files that grew from base (git's
// merge driver): answers, states and details taken from the side that
// changed them (ours where both did, each such requirement named in
// conflicts); comments and their replies joined by id, none dropped (a
// comment changed on both sides keeps each side's change, resolved when
// either resolved it); the saved fingerprints joined, the newest kept.
struct ReviewMerge {
    Review merged;
    QStringList conflicts;   // "requirement 4: answer", "details: cycle"
};
ReviewMerge mergeReviews(const Review &base, const Review &ours, const Review &theirs);

} // namespace brevant
