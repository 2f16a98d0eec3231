#include "document/reportdocument.h"

#include "core/catalogue.h"

#include <QIODevice>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

bool writeAll(QIODevice &out, const QByteArray &bytes, QString *error)
{
    if (bytes.isEmpty()) {
        if (error && error->isEmpty())
            *error = u"The document could not be laid out."_s;
        return false;
    }
    return out.write(bytes) == bytes.size();
}

using Maker = QByteArray (*const DocumentEngine::*)(const Report &, const DocumentOptions &,
                                                     const DocumentSetup &, QString *);

// A document made by the engine; empty, with the engine's reason, when it
// cannot be loaded.
QByteArray made(Maker maker, const Report &report, const DocumentOptions &options, QString *error)
{
    const DocumentEngine *engine = documentEngine(error);
    return engine ? (engine->*maker)(report, options, documentSetup(options), error) : QByteArray();
}

} // namespace

DocumentSetup documentSetup(const DocumentOptions &options)
{
    return {paperSize(options.pagePaper()), applicationTitle()};
}

QByteArray reportPdf(const Report &report, const DocumentOptions &options, QString *error)
{
    return made(&DocumentEngine::reportPdf, report, options, error);
}

QByteArray reportOdt(const Report &report, const DocumentOptions &options, QString *error)
{
    return made(&DocumentEngine::reportOdt, report, options, error);
}

QByteArray reportDocx(const Report &report, const DocumentOptions &options, QString *error)
{
    return made(&DocumentEngine::reportDocx, report, options, error);
}

bool writeReportDocx(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error)
{
    return writeAll(out, reportDocx(report, options, error), error);
}

bool writeReportPdf(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error)
{
    return writeAll(out, reportPdf(report, options, error), error);
}

bool writeReportOdt(QIODevice &out, const Report &report, const DocumentOptions &options, QString *error)
{
    return writeAll(out, reportOdt(report, options, error), error);
}

} // namespace brevant
