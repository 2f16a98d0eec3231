#pragma once

#include "core/catalogue.h"

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

// The characters of a text that show on a page, as they read back from a
// PDF: no blank, control, format character, noncharacter or surrogate, and
// no U+FFFD (which a lone surrogate becomes).
inline QString shownText(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        const QChar::Category k = QChar::category(c);
        if (!QChar::isSpace(c) && k != QChar::Other_Control && k != QChar::Other_Format
            && k != QChar::Other_Surrogate && !QChar::isNonCharacter(c) && c != 0xFFFD)
            kept += QString::fromUcs4(&c, 1);
    }
    return kept;
}

// Whether every piece's shown characters (shownText) stand in text in
// order; the first that does not, or an empty string.
inline QString firstMissingShown(const QString &text, const QStringList &pieces)
{
    const QString shown = shownText(text);
    qsizetype from = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString wanted = shownText(pieces.at(i));
        const qsizetype at = shown.indexOf(wanted, from);
        if (at < 0)
            return QStringLiteral("piece %1: %2").arg(i + 1).arg(wanted.left(80));
        from = at + wanted.size();
    }
    return QString();
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
