#pragma once

// What the tests of the report documents share: responses with every hard
// case, the date the reports are made on, and the report's HTML of a
// design.
#include "core/catalogue.h"
#include "document/htmlreport.h"
#include "document/reportdocument.h"
#include "document/reportpicture.h"
#include "document/reportwriters.h"
#include "failingdevice.h"
#include "files.h"
#include "pdftext.h"
#include "testmain.h"
#include "ui/filedialog.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <unistd.h>

namespace brevant::test {

using namespace Qt::Literals::StringLiterals;

inline const QDate kDate(2026, 12, 8);
inline const QString kDateText = u"8 December 2026"_s;

// Numbered responses of some length, so the report runs over many pages,
// with the hard cases among them: markup typed by the user, a line break,
// characters the code page cannot hold (Greek, Cyrillic, a surrogate
// pair) and some it can (euro sign, dash).
inline QStringList testResponses()
{
    QStringList texts;
    for (int i = 1; i <= kItemCount; ++i) {
        QString text = u"Response %1 begins here."_s.arg(i);
        for (int s = 1; s <= 12; ++s)
            text += u" Sentence %1 of response %2 tells how the department meets it."_s.arg(s).arg(i);
        texts << text;
    }
    texts[2] = u"<b>not bold</b> & \"quoted\"\nsecond line of three\nthird line"_s;
    texts[4] = u"Greek \u03A9\u03BC\u03B5\u03B3\u03B1, Cyrillic \u0416\u0443\u043A, euro \u20AC, dash \u2013, "
               "bold A \U0001D400 end"_s;
    texts[26] = u"The last response."_s;
    return texts;
}

// The responses with what a word processor's file must keep exactly as
// typed besides: runs of blanks, tabs, blanks at the start and end of a
// line, a Windows line end, characters an XML file cannot hold, and
// private-use ones.
inline QStringList typedResponses()
{
    QStringList texts = testResponses();
    texts[7] = u"  two  blanks,\ta tab\t\nline two ends in a blank \r\n\r\nbell \a, nul \0, \uFFFF end"_s;
    // Private-use characters, which a writer might take for marks of its own.
    texts[9] = u"\uE00011\uE001 is not item 11's"_s;
    return texts;
}

// Response 8 as a document holds it: the Windows line end one line break,
// the characters XML cannot hold the replacement character.
inline const QString kTypedResponse8 =
    u"  two  blanks,\ta tab\t\nline two ends in a blank \n\nbell \uFFFD, nul \uFFFD, \uFFFD end"_s;

inline QString templatePath(const ReportDesign &design)
{
    return builtProgramFolder() + design.templatePath;
}

inline QByteArray reportHtml(const ReportDesign &design, const QStringList &responses)
{
    return reportBytes(fileBytes(templatePath(design)), responses);
}

// The report on a design, as the document writers take it.
inline Report reportOn(const ReportDesign &design, const QStringList &responses)
{
    return makeReport(fileBytes(templatePath(design)), responses);
}

inline DocumentOptions options(const char *locale = "de_DE")
{
    DocumentOptions o;
    o.locale = QLocale(QString::fromLatin1(locale));
    o.date = kDate;
    return o;
}

// Where the pictures of the pages are kept for a person to look at.
inline QString picturesFolder()
{
    const QString folder = QFile::decodeName(BREVANT_TEST_PICTURES_DIR);
    QDir().mkpath(folder);
    return folder;
}

// The pixels of a picture within a small distance of a colour.
inline int pixelsOfColour(const QImage &image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green())
                    + qAbs(c.blue() - colour.blue()) < 24)
                ++n;
        }
    }
    return n;
}

// The masthead colour of each design.
inline QColor mastheadColour(const QString &option)
{
    if (option == u"ED"_s)
        return QColor(0x1b, 0x2a, 0x49);
    if (option == u"OM"_s)
        return QColor(0xe8, 0x59, 0x0c);
    return QColor(0x2f, 0x5d, 0x3a);
}

// A paragraph or heading of an ODT as a word processor reads it.
struct OdtParagraph {
    QString style;
    int level = 0;   // the outline level of a heading, 0 for a paragraph
    QString text;
    bool operator==(const OdtParagraph &) const = default;
};

// The paragraphs (text:p) and headings (text:h) of a part of an ODT, their
// text read as OpenDocument says: white space in the XML (blank, tab, line
// feed, carriage return) as a blank, a blank after a blank or at the start
// of a line folded away; <text:s text:c="n"/> n blanks, <text:tab/> a tab,
// <text:line-break/> '\n'; the text of spans and fields kept. Empty, with
// the reason in *error, when the XML does not read.
inline QList<OdtParagraph> odtParagraphs(const QByteArray &xml, QString *error)
{
    QXmlStreamReader reader(xml);
    QList<OdtParagraph> paragraphs;
    int depth = 0;             // within a paragraph
    bool blankFolds = true;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        const QStringView name = reader.qualifiedName();
        if (token == QXmlStreamReader::StartElement && depth == 0 && (name == u"text:p" || name == u"text:h")) {
            paragraphs.append({reader.attributes().value(u"text:style-name"_s).toString(),
                               reader.attributes().value(u"text:outline-level"_s).toInt(), QString()});
            depth = 1;
            blankFolds = true;
        } else if (token == QXmlStreamReader::StartElement && depth > 0) {
            ++depth;
            QString &text = paragraphs.last().text;
            if (name == u"text:s") {
                const QStringView count = reader.attributes().value(u"text:c"_s);
                text += QString(count.isEmpty() ? 1 : count.toInt(), u' ');
            } else if (name == u"text:tab" || name == u"text:line-break") {
                text += name == u"text:tab" ? u'\t' : u'\n';
                blankFolds = true;
            }
        } else if (token == QXmlStreamReader::EndElement && depth > 0) {
            --depth;
        } else if (token == QXmlStreamReader::Characters && depth > 0) {
            QString &text = paragraphs.last().text;
            for (const QChar c : reader.text()) {
                const bool blank = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
                if (!blank)
                    text += c;
                else if (!blankFolds)
                    text += u' ';
                blankFolds = blank;
            }
        }
    }
    if (reader.hasError() && error)
        *error = reader.errorString() + u" at line %1"_s.arg(reader.lineNumber());
    return reader.hasError() ? QList<OdtParagraph>() : paragraphs;
}

// The report's pieces in order, compared without regard to case (a design
// may set its headings in capitals), to white space (a line may wrap after
// a slash, where the text has no blank) or to hyphens (pdftotext joins a
// word wrapped at its hyphen without it).
inline QString firstMissingPiece(const QString &text, const QStringList &responses)
{
    static const QRegularExpression space(u"[\\s-]+"_s);
    QStringList pieces = reportPieces(responses);
    for (QString &piece : pieces)
        piece = piece.toLower().remove(space);
    return firstMissingInOrder(text.toLower().remove(space), pieces);
}

// The text of the pages without their footers.
inline QString bodyText(const QStringList &pages)
{
    static const QRegularExpression footer(u"^(Page \\d+ of \\d+|\\d+ \\w+ \\d{4})$"_s);
    QStringList kept;
    for (const QString &page : pages) {
        for (const QString &line : page.split(u'\n')) {
            if (!line.trimmed().isEmpty() && !footer.match(line.trimmed()).hasMatch())
                kept << line;
        }
    }
    return kept.join(u'\n');
}

// A response of 120 numbered lines, long enough to run over a page break,
// with the letters a ligature would join.
inline QString longResponse()
{
    QStringList lines;
    for (int i = 1; i <= 120; ++i)
        lines << u"Line %1: the first office offer was sufficient."_s.arg(i, 3, 10, QLatin1Char('0'));
    return lines.join(u'\n');
}

// The structure of a tagged PDF as pdfinfo -struct-text reads it: each
// element's type and its text, in the order of the tree.
inline QList<std::pair<QString, QString>> structureText(const QString &pdf)
{
    QList<std::pair<QString, QString>> elements;
    static const QRegularExpression element(u"^\\s*(\\w+)( \\(\\w+\\))?$"_s);
    for (const QString &line : runPdfTool(u"pdfinfo"_s, {u"-struct-text"_s, pdf}).split(u'\n')) {
        const QRegularExpressionMatch m = element.match(line);
        if (m.hasMatch())
            elements << std::pair{m.captured(1), QString()};
        else if (!elements.isEmpty() && line.trimmed().startsWith(u'"'))
            elements.last().second += line.trimmed().mid(1).chopped(1);
    }
    return elements;
}

inline QString unzipped(const QString &zip, const QString &member)
{
    return runPdfTool(u"unzip"_s, {u"-p"_s, zip, member});
}

// A member of a zip as unzip gives it, as bytes.
inline QByteArray unzippedBytes(const QString &zip, const QString &member)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, zip, member});
    unzip.waitForFinished(60000);
    return unzip.exitCode() == 0 ? unzip.readAllStandardOutput() : QByteArray();
}

// A column of pdffonts ("emb", "sub", "uni") for every font of the file.
inline QStringList fontColumn(const QString &fontList, const QString &name)
{
    const QStringList lines = fontList.split(u'\n');
    QStringList column;
    if (lines.size() < 2)
        return column;
    const qsizetype at = lines.at(0).indexOf(name);
    for (qsizetype i = 2; i < lines.size(); ++i) {
        if (!lines.at(i).trimmed().isEmpty())
            column << lines.at(i).mid(at, 3).trimmed();
    }
    return column;
}

} // namespace brevant::test
