#pragma once

#include "questionnaire/catalogue.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace brevant::test {

// Runs one of the PDF tools of poppler-utils and returns its standard
// output; a null string when it did not run or failed.
inline QString runPdfTool(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString pdfText(const QString &path)
{
    return runPdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                                    path, QStringLiteral("-")});
}

// Every heading, "Response" and response of the report, in print order.
inline QStringList reportPieces(const QStringList &responses)
{
    QStringList pieces;
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    for (int item = 1; item <= kItemCount; ++item) {
        pieces << catalogue.headingTexts(item) << QStringLiteral("Response")
               << responses.value(item - 1);
    }
    return pieces;
}

// The first piece that cannot be found after the one before it, compared
// with white space collapsed (line breaks of the page become blanks); empty
// when all are there in order.
inline QString firstMissingInOrder(const QString &text, const QStringList &pieces)
{
    const QString flat = text.simplified();
    qsizetype from = 0;
    for (const QString &piece : pieces) {
        const QString wanted = piece.simplified();
        if (wanted.isEmpty())
            continue;
        const qsizetype at = flat.indexOf(wanted, from);
        if (at < 0)
            return piece.left(200);
        from = at + wanted.size();
    }
    return QString();
}

} // namespace brevant::test
