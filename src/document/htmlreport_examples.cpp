// Build tool: writes the example page of a design, that is the HTML report
// on that design's template filled with the catalogue's example responses.
//
//   brevant_example_pages TEMPLATE OUTPUT

#include "document/htmlreport.h"
#include "document/reportwriters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: brevant_example_pages TEMPLATE OUTPUT\n";
        return 2;
    }
    const QString output = args.at(2);
    QDir().mkpath(QFileInfo(output).absolutePath());
    QString error;
    if (!brevant::writeReport(brevant::ReportFormat::Html, args.at(1), output, brevant::exampleResponses(),
                              brevant::DocumentOptions(), &error)) {
        err << error << '\n';
        return 1;
    }
    return 0;
}
