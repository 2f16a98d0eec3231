#include "core/review.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUuid>

#include <algorithm>
#include <utility>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

// A review file larger than this is not one.
constexpr qint64 kMaxReviewSize = qint64(64) * 1024 * 1024;

const QuestionnaireCatalogue &catalogue()
{
    return QuestionnaireCatalogue::instance();
}

// Reading: a known key of the wrong kind makes the file unusable, with
// where it stands in the reason.
class Reader {
public:
    QString error;

    std::optional<QString> text(const QJsonObject &object, const QString &key, const QString &where)
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            return std::nullopt;
        if (!value.isString()) {
            wrong(where, key, u"a text"_s);
            return std::nullopt;
        }
        return value.toString();
    }

    QString textOr(const QJsonObject &object, const QString &key, const QString &where)
    {
        return text(object, key, where).value_or(QString());
    }

    QStringList texts(const QJsonObject &object, const QString &key, const QString &where)
    {
        const QJsonValue value = object.value(key);
        QStringList list;
        if (value.isUndefined())
            return list;
        if (!value.isArray()) {
            wrong(where, key, u"a list of texts"_s);
            return list;
        }
        for (const QJsonValue &entry : value.toArray()) {
            if (!entry.isString()) {
                wrong(where, key, u"a list of texts"_s);
                return list;
            }
            list << entry.toString();
        }
        return list;
    }

    QJsonObject object(const QJsonValue &value, const QString &where)
    {
        if (!value.isObject())
            fail(u"%1 is not an object"_s.arg(where));
        return value.toObject();
    }

    QJsonArray array(const QJsonObject &object, const QString &key, const QString &where)
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            return QJsonArray();
        if (!value.isArray())
            wrong(where, key, u"a list"_s);
        return value.toArray();
    }

    void wrong(const QString &where, const QString &key, const QString &kind)
    {
        fail(u"\"%1\" of %2 is not %3"_s.arg(key, where, kind));
    }

    void fail(const QString &why)
    {
        if (error.isEmpty())
            error = why;
    }
};

ReviewReply readReply(Reader &r, const QJsonValue &value, const QString &where)
{
    ReviewReply reply;
    reply.kept = r.object(value, where);
    reply.author = r.textOr(reply.kept, u"author"_s, where);
    reply.date = r.textOr(reply.kept, u"date"_s, where);
    reply.text = r.textOr(reply.kept, u"text"_s, where);
    return reply;
}

ReviewComment readComment(Reader &r, const QJsonValue &value, const QString &where)
{
    ReviewComment comment;
    comment.kept = r.object(value, where);
    const QJsonObject &o = comment.kept;
    comment.id = r.textOr(o, u"id"_s, where);
    comment.author = r.textOr(o, u"author"_s, where);
    comment.date = r.textOr(o, u"date"_s, where);
    comment.quote = r.textOr(o, u"quote"_s, where);
    comment.text = r.textOr(o, u"text"_s, where);
    const QJsonValue offset = o.value(u"offset"_s);
    if (offset.isDouble() && offset.toDouble() >= 0)
        comment.offset = qint64(offset.toDouble());
    else if (!offset.isUndefined() && !offset.isNull())
        r.wrong(where, u"offset"_s, u"a number"_s);
    const QJsonValue resolved = o.value(u"resolved"_s);
    if (resolved.isBool())
        comment.resolved = resolved.toBool();
    else if (!resolved.isUndefined())
        r.wrong(where, u"resolved"_s, u"true or false"_s);
    const QJsonArray replies = r.array(o, u"replies"_s, where);
    for (qsizetype i = 0; i < replies.size(); ++i)
        comment.replies << readReply(r, replies.at(i), u"reply %1 of %2"_s.arg(i + 1).arg(where));
    return comment;
}

RequirementReview readRequirement(Reader &r, const QJsonValue &value, int item)
{
    const QString where = u"requirement %1"_s.arg(item);
    RequirementReview requirement;
    requirement.kept = r.object(value, where);
    const QJsonObject &o = requirement.kept;
    requirement.answer = r.text(o, u"answer"_s, where);
    if (const std::optional<QString> state = r.text(o, u"state"_s, where))
        requirement.state = stateFromKey(*state);   // one of a later version: kept as written
    const QJsonArray comments = r.array(o, u"comments"_s, where);
    for (qsizetype i = 0; i < comments.size(); ++i)
        requirement.comments << readComment(r, comments.at(i), u"comment %1 of %2"_s.arg(i + 1).arg(where));
    requirement.saved = r.texts(o, u"saved"_s, where);
    return requirement;
}

// Sets key to value, or takes it away when there is none.
void put(QJsonObject &o, const QString &key, const std::optional<QJsonValue> &value)
{
    if (value)
        o.insert(key, *value);
    else
        o.remove(key);
}

QJsonObject replyObject(const ReviewReply &reply)
{
    QJsonObject o = reply.kept;
    o.insert(u"author"_s, reply.author);
    o.insert(u"date"_s, reply.date);
    o.insert(u"text"_s, reply.text);
    return o;
}

QJsonObject commentObject(const ReviewComment &comment)
{
    QJsonObject o = comment.kept;
    o.insert(u"id"_s, comment.id);
    o.insert(u"author"_s, comment.author);
    o.insert(u"date"_s, comment.date);
    o.insert(u"quote"_s, comment.quote);
    put(o, u"offset"_s, comment.offset ? std::optional<QJsonValue>(double(*comment.offset)) : std::nullopt);
    o.insert(u"text"_s, comment.text);
    o.insert(u"resolved"_s, comment.resolved);
    QJsonArray replies;
    for (const ReviewReply &reply : comment.replies)
        replies.append(replyObject(reply));
    o.insert(u"replies"_s, replies);
    return o;
}

QJsonObject requirementObject(const RequirementReview &requirement)
{
    QJsonObject o = requirement.kept;
    put(o, u"answer"_s, requirement.answer ? std::optional<QJsonValue>(*requirement.answer) : std::nullopt);
    // A state of a later version, which this one does not know, stays as
    // written until the state is set here.
    if (requirement.state)
        o.insert(u"state"_s, stateKey(*requirement.state));
    else if (stateFromKey(o.value(u"state"_s).toString()))
        o.remove(u"state"_s);
    QJsonArray comments;
    for (const ReviewComment &comment : requirement.comments)
        comments.append(commentObject(comment));
    put(o, u"comments"_s, comments.isEmpty() ? std::nullopt : std::optional<QJsonValue>(comments));
    put(o, u"saved"_s,
        requirement.saved.isEmpty() ? std::nullopt
                                    : std::optional<QJsonValue>(QJsonArray::fromStringList(requirement.saved)));
    return o;
}

bool sameComment(const ReviewComment &a, const ReviewComment &b)
{
    return commentObject(a) == commentObject(b);
}

const ReviewComment *commentWithId(const QList<ReviewComment> &comments, const QString &id)
{
    for (const ReviewComment &comment : comments) {
        if (comment.id == id)
            return &comment;
    }
    return nullptr;
}

// Replies of two sides joined: every reply of either, in the order of
// their dates (ours first on a tie), none twice.
QList<ReviewReply> joinedReplies(const QList<ReviewReply> &ours, const QList<ReviewReply> &theirs)
{
    QList<ReviewReply> all = ours;
    for (const ReviewReply &reply : theirs) {
        const bool known = std::any_of(all.cbegin(), all.cend(), [&](const ReviewReply &r) {
            return replyObject(r) == replyObject(reply);
        });
        if (!known)
            all << reply;
    }
    std::stable_sort(all.begin(), all.end(), [](const ReviewReply &a, const ReviewReply &b) { return a.date < b.date; });
    return all;
}

// A value of three sides: the side that changed it, ours where both did
// (conflict set then).
template <class T>
T merged(const T &base, const T &ours, const T &theirs, bool *conflict)
{
    if (ours == theirs || theirs == base)
        return ours;
    if (ours == base)
        return theirs;
    *conflict = true;
    return ours;
}

ReviewComment mergedComment(const ReviewComment *base, const ReviewComment &ours, const ReviewComment &theirs)
{
    if (sameComment(ours, theirs))
        return ours;
    ReviewComment comment = ours;
    bool ignored = false;
    const ReviewComment none;
    const ReviewComment &b = base ? *base : none;
    comment.text = merged(b.text, ours.text, theirs.text, &ignored);
    comment.quote = merged(b.quote, ours.quote, theirs.quote, &ignored);
    comment.offset = merged(b.offset, ours.offset, theirs.offset, &ignored);
    comment.resolved = ours.resolved || theirs.resolved;
    comment.replies = joinedReplies(ours.replies, theirs.replies);
    return comment;
}

QList<ReviewComment> mergedComments(const QList<ReviewComment> &base, const QList<ReviewComment> &ours,
                                    const QList<ReviewComment> &theirs)
{
    QList<ReviewComment> all;
    for (const ReviewComment &comment : ours) {
        const ReviewComment *other = commentWithId(theirs, comment.id);
        all << (other ? mergedComment(commentWithId(base, comment.id), comment, *other) : comment);
    }
    for (const ReviewComment &comment : theirs) {
        if (!commentWithId(ours, comment.id))
            all << comment;
    }
    return all;
}

} // namespace

QString stateKey(ReviewState state)
{
    switch (state) {
    case ReviewState::Draft:
        return u"draft"_s;
    case ReviewState::InReview:
        return u"in-review"_s;
    case ReviewState::ChangesRequested:
        return u"changes-requested"_s;
    case ReviewState::Approved:
        return u"approved"_s;
    }
    return u"draft"_s;
}

std::optional<ReviewState> stateFromKey(const QString &key)
{
    for (const ReviewState state :
         {ReviewState::Draft, ReviewState::InReview, ReviewState::ChangesRequested, ReviewState::Approved}) {
        if (stateKey(state) == key)
            return state;
    }
    return std::nullopt;
}

QString stateWords(ReviewState state)
{
    return stateKey(state).replace(u'-', u' ');
}

int RequirementReview::openComments() const
{
    return int(std::count_if(comments.cbegin(), comments.cend(), [](const ReviewComment &c) { return !c.resolved; }));
}

bool ReviewDetails::isEmpty() const
{
    return department.isEmpty() && institution.isEmpty() && cycle.isEmpty() && authors.isEmpty();
}

QStringList Review::answers() const
{
    QStringList list;
    for (const QuestionnaireItem &item : catalogue().items()) {
        if (item.hasAnswer())
            list << requirement(item.number).answer.value_or(QString());
    }
    return list;
}

int Review::approvedCount() const
{
    return int(std::count_if(requirements.cbegin(), requirements.cend(), [](const RequirementReview &r) {
        return r.currentState() == ReviewState::Approved;
    }));
}

int Review::openCommentCount() const
{
    int count = 0;
    for (const RequirementReview &requirement : requirements)
        count += requirement.openComments();
    return count;
}

QString newCommentId()
{
    return u"c"_s + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

QString reviewPathFor(const QString &workFile)
{
    return workFile + u".review.json"_s;
}

ReviewReading parseReview(const QByteArray &bytes)
{
    ReviewReading reading;
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parsed);
    if (parsed.error != QJsonParseError::NoError) {
        reading.reason = u"it is not JSON: %1 at byte %2"_s.arg(parsed.errorString()).arg(parsed.offset);
        return reading;
    }
    if (!document.isObject() || document.object().value(u"format"_s).toString() != QLatin1StringView(kReviewFormat)) {
        reading.reason = u"it is not a review file (its \"format\" is not \"%1\")"_s.arg(QLatin1StringView(kReviewFormat));
        return reading;
    }
    Reader r;
    Review &review = reading.review;
    review.kept = document.object();
    const QJsonValue version = review.kept.value(u"version"_s);
    if (!version.isDouble() || version.toDouble() < 1) {
        reading.reason = u"its \"version\" is not a number of 1 or more"_s;
        return reading;
    }
    review.version = version.toInt();
    if (review.kept.contains(u"details"_s)) {
        ReviewDetails &details = review.details;
        details.kept = r.object(review.kept.value(u"details"_s), u"the details"_s);
        details.department = r.textOr(details.kept, u"department"_s, u"the details"_s);
        details.institution = r.textOr(details.kept, u"institution"_s, u"the details"_s);
        details.cycle = r.textOr(details.kept, u"cycle"_s, u"the details"_s);
        details.authors = r.texts(details.kept, u"authors"_s, u"the details"_s);
    }
    if (review.kept.contains(u"requirements"_s)) {
        review.keptRequirements = r.object(review.kept.value(u"requirements"_s), u"the requirements"_s);
        for (int item = 1; item <= kItemCount; ++item) {
            const QJsonValue value = review.keptRequirements.value(QString::number(item));
            if (!value.isUndefined())
                review.requirement(item) = readRequirement(r, value, item);
        }
    }
    if (!r.error.isEmpty()) {
        reading.reason = r.error;
        return reading;
    }
    reading.ok = true;
    return reading;
}

ReviewReading readReview(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        ReviewReading none;
        none.ok = true;
        return none;
    }
    ReviewReading reading;
    QFile file(path);
    if (!info.isFile())
        reading.reason = u"it is not an ordinary file"_s;
    else if (info.size() > kMaxReviewSize)
        reading.reason = u"it holds %1 MiB, far more than any review file"_s.arg(info.size() / (1024 * 1024));
    else if (!file.open(QIODevice::ReadOnly))
        reading.reason = file.errorString();
    if (!reading.reason.isEmpty())
        return reading;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reading.reason = file.errorString();
        return reading;
    }
    return parseReview(bytes);
}

QByteArray reviewBytes(const Review &review)
{
    QJsonObject o = review.kept;
    o.insert(u"format"_s, QLatin1StringView(kReviewFormat));
    o.insert(u"version"_s, std::max(review.version, kReviewVersion));
    const ReviewDetails &d = review.details;
    if (!d.isEmpty() || o.contains(u"details"_s)) {
        QJsonObject details = d.kept;
        details.insert(u"department"_s, d.department);
        details.insert(u"institution"_s, d.institution);
        details.insert(u"cycle"_s, d.cycle);
        details.insert(u"authors"_s, QJsonArray::fromStringList(d.authors));
        o.insert(u"details"_s, details);
    }
    QJsonObject requirements = review.keptRequirements;
    for (int item = 1; item <= kItemCount; ++item) {
        const QJsonObject requirement = requirementObject(review.requirement(item));
        put(requirements, QString::number(item),
            requirement.isEmpty() ? std::nullopt : std::optional<QJsonValue>(requirement));
    }
    o.insert(u"requirements"_s, requirements);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

qsizetype findQuote(QStringView text, QStringView quote, std::optional<qint64> offset)
{
    if (quote.isEmpty())
        return -1;
    qsizetype best = -1;
    for (qsizetype at = text.indexOf(quote); at >= 0; at = text.indexOf(quote, at + 1)) {
        if (!offset)
            return at;
        if (best < 0 || std::abs(at - *offset) < std::abs(best - *offset))
            best = at;
        else if (at > *offset)
            break;   // only further away from here on
    }
    return best;
}

QString textFingerprint(QStringView text)
{
    QString lines = text.toString();
    lines.replace(u"\r\n"_s, u"\n"_s);
    for (QChar &c : lines) {
        if (c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return QString::fromLatin1(QCryptographicHash::hash(lines.toUtf8(), QCryptographicHash::Sha256).toHex());
}

ReviewMerge mergeReviews(const Review &base, const Review &ours, const Review &theirs)
{
    ReviewMerge result;
    Review &m = result.merged;
    m = ours;
    m.version = std::max({base.version, ours.version, theirs.version});
    const auto check = [&](bool conflict, const QString &what) {
        if (conflict)
            result.conflicts << what;
    };
    bool conflict = false;
    m.details.department = merged(base.details.department, ours.details.department, theirs.details.department,
                                  &conflict);
    check(std::exchange(conflict, false), u"details: department"_s);
    m.details.institution = merged(base.details.institution, ours.details.institution, theirs.details.institution,
                                   &conflict);
    check(std::exchange(conflict, false), u"details: institution"_s);
    m.details.cycle = merged(base.details.cycle, ours.details.cycle, theirs.details.cycle, &conflict);
    check(std::exchange(conflict, false), u"details: cycle"_s);
    m.details.authors = merged(base.details.authors, ours.details.authors, theirs.details.authors, &conflict);
    check(std::exchange(conflict, false), u"details: authors"_s);

    for (int item = 1; item <= kItemCount; ++item) {
        const RequirementReview &b = base.requirement(item);
        const RequirementReview &o = ours.requirement(item);
        const RequirementReview &t = theirs.requirement(item);
        RequirementReview &r = m.requirement(item);
        r.answer = merged(b.answer, o.answer, t.answer, &conflict);
        check(std::exchange(conflict, false), u"requirement %1: answer"_s.arg(item));
        r.state = merged(b.state, o.state, t.state, &conflict);
        check(std::exchange(conflict, false), u"requirement %1: state"_s.arg(item));
        r.comments = mergedComments(b.comments, o.comments, t.comments);
        // The fingerprints of both, in the order they came, the newest kept.
        QStringList saved = o.saved;
        for (const QString &fingerprint : t.saved) {
            if (!saved.contains(fingerprint))
                saved << fingerprint;
        }
        r.saved = saved.mid(std::max<qsizetype>(0, saved.size() - kSavedFingerprints));
        if (r.kept.isEmpty())
            r.kept = t.kept;
    }
    for (auto it = theirs.keptRequirements.constBegin(); it != theirs.keptRequirements.constEnd(); ++it) {
        if (!m.keptRequirements.contains(it.key()))
            m.keptRequirements.insert(it.key(), it.value());
    }
    for (auto it = theirs.kept.constBegin(); it != theirs.kept.constEnd(); ++it) {
        if (!m.kept.contains(it.key()))
            m.kept.insert(it.key(), it.value());
    }
    return result;
}

} // namespace brevant
