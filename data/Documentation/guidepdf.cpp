// Renders the user guide from its HTML source to a paged PDF: A4, a table
// of contents with the page of every section, the section's title at the
// top of each page and the page number at its foot. Pictures named in the
// source are read from the pictures folder; a missing one fails the build.
// A chapter may stand in a file of its own beside the source, put in where
// the source says <!-- include FILE -->.
//
// Usage: brevant_guidepdf <guide.html> <pictures folder> <output.pdf>

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QUrl>
#include <cstdio>

namespace {

// Where the generated table of contents goes in the source.
const QString kContentsMarker = QStringLiteral("<!-- contents -->");
const QString kGuideTitle = QStringLiteral("Brevant Policies: User Guide");
const QRegularExpression kInclude(QStringLiteral("<!-- include ([A-Za-z0-9_.-]+) -->"));

// Page geometry, in millimetres.
constexpr qreal kMarginSide = 22;
constexpr qreal kMarginTop = 24;
constexpr qreal kMarginBottom = 24;

struct Heading {
    int level = 1;
    QString title;
    int page = 0;   // 1-based
    bool operator==(const Heading &) const = default;
};

// A document that takes its pictures from one folder and remembers the
// ones it could not find.
class GuideDocument : public QTextDocument {
public:
    explicit GuideDocument(const QString &pictures) : m_pictures(pictures) {}
    QStringList missing;

protected:
    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type != QTextDocument::ImageResource)
            return QTextDocument::loadResource(type, name);
        const QString path = QDir(m_pictures).filePath(name.path());
        QImage image(path);
        if (image.isNull()) {
            if (!missing.contains(path))
                missing << path;
            return QVariant();
        }
        return image;
    }

private:
    QString m_pictures;
};

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString contentsHtml(const QList<Heading> &headings)
{
    QString html = QStringLiteral("<table class=\"contents\" width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">\n");
    for (const Heading &h : headings) {
        const bool top = h.level == 1;
        html += QStringLiteral("<tr><td class=\"%1\">%2</td><td class=\"%1\" align=\"right\">%3</td></tr>\n")
                    .arg(top ? QStringLiteral("toc1") : QStringLiteral("toc2"),
                         top ? escaped(h.title) : QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;") + escaped(h.title),
                         h.page > 0 ? QString::number(h.page) : QStringLiteral("&nbsp;"));
    }
    html += QStringLiteral("</table>\n");
    return html;
}

// The section and subsection headings of the laid-out document, with the
// page each one stands on.
QList<Heading> collectHeadings(QTextDocument &doc, qreal pageHeight)
{
    QList<Heading> headings;
    QAbstractTextDocumentLayout *layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2)
            continue;
        // Where its first line stands: a heading that does not fit at the
        // foot of a page keeps its top margin there, but its line goes to
        // the next page.
        const QRectF rect = layout->blockBoundingRect(block);
        const QTextLayout *lines = block.layout();
        const qreal top = rect.top() + (lines && lines->lineCount() > 0 ? lines->lineAt(0).y() : 0);
        Heading h;
        h.level = level;
        h.title = block.text().simplified();
        h.page = int(top / pageHeight) + 1;
        headings << h;
    }
    return headings;
}

qreal mm(qreal millimetres, int resolution)
{
    return millimetres * resolution / 25.4;
}

void drawFurniture(QPainter &p, const QSizeF &page, int resolution, int number, int count,
                   const QString &section)
{
    const qreal side = mm(kMarginSide, resolution);
    const qreal rule = mm(0.25, resolution);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8.5);
    p.setFont(font);
    p.setPen(QColor(0x55, 0x5f, 0x6b));

    // Header: the guide's title and the current section, over a rule.
    const qreal headerBase = mm(kMarginTop - 9, resolution);
    const QRectF header(side, headerBase - mm(6, resolution), page.width() - 2 * side, mm(6, resolution));
    p.drawText(header, Qt::AlignLeft | Qt::AlignBottom, kGuideTitle);
    p.drawText(header, Qt::AlignRight | Qt::AlignBottom, section);
    p.fillRect(QRectF(side, headerBase + mm(1, resolution), page.width() - 2 * side, rule),
               QColor(0x9a, 0xa6, 0xb4));

    // Footer: the page number, centred under a rule.
    const qreal footerTop = page.height() - mm(kMarginBottom - 8, resolution);
    p.fillRect(QRectF(side, footerTop, page.width() - 2 * side, rule), QColor(0x9a, 0xa6, 0xb4));
    const QRectF footer(side, footerTop + mm(1.5, resolution), page.width() - 2 * side, mm(6, resolution));
    p.drawText(footer, Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Page %1 of %2").arg(number).arg(count));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: brevant_guidepdf <guide.html> <pictures folder> <output.pdf>\n", stderr);
        return 2;
    }
    const QString sourcePath = QString::fromLocal8Bit(argv[1]);
    const QString pictures = QString::fromLocal8Bit(argv[2]);
    const QString outPath = QString::fromLocal8Bit(argv[3]);

    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(source.errorString()));
        return 1;
    }
    QString html = QString::fromUtf8(source.readAll());
    // The chapters of their own, each once.
    for (QRegularExpressionMatch m = kInclude.match(html); m.hasMatch(); m = kInclude.match(html)) {
        const QString chapterPath = QFileInfo(sourcePath).dir().filePath(m.captured(1));
        QFile chapter(chapterPath);
        if (!chapter.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(chapterPath), qPrintable(chapter.errorString()));
            return 1;
        }
        html.replace(m.capturedStart(), m.capturedLength(), QString::fromUtf8(chapter.readAll()));
    }
    if (!html.contains(kContentsMarker)) {
        std::fprintf(stderr, "%s: no %s marker for the table of contents\n", argv[1],
                     qPrintable(kContentsMarker));
        return 1;
    }

    QPdfWriter writer(outPath);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    writer.setTitle(kGuideTitle);
    writer.setCreator(QStringLiteral("brevant_guidepdf"));
    const int resolution = writer.resolution();
    const QSizeF page(writer.width(), writer.height());

    GuideDocument doc(pictures);
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setPageSize(page);
    QFont base(QStringLiteral("Liberation Sans"));
    base.setPointSizeF(10.5);
    doc.setDefaultFont(base);

    // Lay out, read the headings' pages, put them into the contents and lay
    // out again until the pages no longer move.
    QList<Heading> headings;
    bool settled = false;
    for (int pass = 0; pass < 6 && !settled; ++pass) {
        doc.setHtml(QString(html).replace(kContentsMarker, contentsHtml(headings)));
        // Frame margins are given at 96 dpi; the layout scales them to the
        // writer's resolution, as it does for the lengths in the source.
        QTextFrameFormat frame = doc.rootFrame()->frameFormat();
        frame.setLeftMargin(mm(kMarginSide, 96));
        frame.setRightMargin(mm(kMarginSide, 96));
        frame.setTopMargin(mm(kMarginTop, 96));
        frame.setBottomMargin(mm(kMarginBottom, 96));
        doc.rootFrame()->setFrameFormat(frame);
        const QList<Heading> found = collectHeadings(doc, page.height());
        settled = pass > 0 && found == headings;
        headings = found;
    }
    if (!settled) {
        std::fputs("The table of contents did not settle\n", stderr);
        return 1;
    }
    if (!doc.missing.isEmpty()) {
        std::fprintf(stderr, "Pictures missing: %s\n", qPrintable(doc.missing.join(QStringLiteral(", "))));
        return 1;
    }

    QPainter painter;
    if (!painter.begin(&writer)) {
        std::fprintf(stderr, "Cannot write %s\n", argv[3]);
        return 1;
    }
    const int count = doc.pageCount();
    QAbstractTextDocumentLayout *layout = doc.documentLayout();
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.clip = QRectF(0, i * page.height(), page.width(), page.height());
        ctx.palette.setColor(QPalette::Text, Qt::black);
        painter.setClipRect(ctx.clip);
        layout->draw(&painter, ctx);
        painter.restore();

        // The title page carries no header or footer.
        if (i == 0)
            continue;
        QString section;
        for (const Heading &h : std::as_const(headings)) {
            if (h.level == 1 && h.page <= i + 1)
                section = h.title;
        }
        drawFurniture(painter, page, resolution, i + 1, count, section);
    }
    if (!painter.end()) {
        std::fprintf(stderr, "Cannot write %s\n", argv[3]);
        return 1;
    }
    if (QFileInfo(outPath).size() == 0) {
        std::fprintf(stderr, "Cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
