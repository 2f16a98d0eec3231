#include "cli/mergereviewcommand.h"

#include "core/review.h"
#include "io/files.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace brevant::cli {

using namespace Qt::Literals::StringLiterals;

namespace {

Status run(const Command &command, const QCommandLineParser &parser, Console &console)
{
    const QStringList files = parser.positionalArguments();
    if (files.size() != 3)
        return command.usageError(console, u"merge-review takes three files: BASE OURS THEIRS."_s);
    Review sides[3];
    for (int i = 0; i < 3; ++i) {
        // An empty BASE (no common ancestor) is an empty review.
        if (i == 0 && QFileInfo(files.at(0)).isFile() && QFileInfo(files.at(0)).size() == 0)
            continue;
        const ReviewReading read = readReview(files.at(i));
        if (!read.ok) {
            console.error(u"%1: could not be read: %2."_s.arg(QDir::toNativeSeparators(files.at(i)), read.reason));
            return Status::Failed;
        }
        sides[i] = read.review;
    }
    const QString output = parser.isSet(u"output"_s) ? parser.value(u"output"_s) : files.at(1);
    const ReviewMerge merge = mergeReviews(sides[0], sides[1], sides[2]);
    QString error;
    if (!writeFileSafely(output, reviewBytes(merge.merged), &error)) {
        console.error(u"%1: could not be written: %2"_s.arg(QDir::toNativeSeparators(output), error));
        return Status::Failed;
    }
    for (const QString &conflict : merge.conflicts)
        console.error(u"both changed %1; ours is kept."_s.arg(conflict));
    return merge.conflicts.isEmpty() ? Status::Done : Status::Found;
}

} // namespace

Command mergeReviewCommand()
{
    return {u"merge-review"_s,
            u"Merge two review files that grew from one (git's merge driver)"_s,
            u"[--output FILE] BASE OURS THEIRS"_s,
            u"Merges the review files OURS and THEIRS, which grew apart from BASE, and\n"
            "writes the result over OURS (or to FILE): each requirement's answer and state\n"
            "from the side that changed it; comments and their replies joined by id, none\n"
            "dropped, a comment resolved on either side resolved; the fingerprints of the\n"
            "saved texts joined. An empty BASE means the two have no common ancestor.\n"
            "Where both sides changed the same answer, state or detail differently, ours is\n"
            "kept and the place is named. Exit status: 0 when the merge is clean, 1 when\n"
            "both sides changed the same thing, 2 when a file could not be read or written\n"
            "(OURS is then untouched). As git's merge driver for *.review.json:\n"
            "  git config merge.brevant-review.driver \"brevant-cli merge-review %O %A %B\""_s,
            {{u"output"_s, u"Where the merge goes; over OURS when not given."_s, u"FILE"_s}},
            run};
}

} // namespace brevant::cli
