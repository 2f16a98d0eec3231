#include "app/responsecache.h"

#include "app/program.h"
#include "report/htmlreport.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace brevant {

ResponseCache::ResponseCache(Program &program) : QObject(&program), m_program(program)
{
    setObjectName(QStringLiteral("ResponseCache"));
}

ResponseCache &ResponseCache::of(Program &program)
{
    auto *cache = program.findChild<ResponseCache *>(QString(), Qt::FindDirectChildrenOnly);
    return cache ? *cache : *new ResponseCache(program);
}

ResponseCache::Entry &ResponseCache::entry(int item)
{
    Entry &e = m_entries.at(item - 1);
    QTextDocument *document = m_program.responseBox(item)->document();
    if (e.document != document) {
        // A box not seen before, or made anew since.
        disconnect(e.watch);
        e.document = document;
        e.watch = connect(document, &QTextDocument::contentsChanged, this, [&e] {
            e.current = false;
            e.html.reset();
        });
        e.current = false;
        e.html.reset();
    }
    if (!e.current) {
        e.workFile = encodeResponse(document->toRawText());
        e.current = true;
    }
    return e;
}

const EncodedResponse &ResponseCache::workFile(int item)
{
    return entry(item).workFile;
}

const QByteArray &ResponseCache::html(int item)
{
    Entry &e = entry(item);
    if (!e.html) {
        // The work-file bytes serve when they have lost no character. (A CR
        // right before a line break would look like one break there; a box
        // turns CR, LF and CR LF into paragraph ends, so it holds none.)
        e.html = e.workFile.unstorable.isEmpty() && !e.workFile.bytes.contains("\r\r")
            ? htmlFromWorkFileBytes(e.workFile.bytes)
            : encodeHtmlText(htmlText(e.document->toRawText()));
    }
    return *e.html;
}

} // namespace brevant
