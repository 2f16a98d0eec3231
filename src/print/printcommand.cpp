#include "print/printcommand.h"

#include "document/printreport.h"
#include "document/printsurface.h"
#include "questionnaire/questionnaire.h"
#include "ui/services.h"

#include <QDir>
#include <QFileInfo>

namespace brevant {

QString noPrinterOfferText()
{
    return QStringLiteral("No printer is set up on this computer. Save the report as a PDF file instead?");
}

QString printerFailedText(const QString &printer, const QString &why)
{
    return QStringLiteral("The report could not be printed on the printer \"%1\".\n%2").arg(printer, why);
}

QString pdfFailedText(const QString &path, const QString &why)
{
    return QStringLiteral("The report could not be saved as the PDF file \"%1\".\n%2")
        .arg(QDir::toNativeSeparators(path), why);
}

void printReport(Dialogs &dialogs, PrinterFactory &printers, Questionnaire &questionnaire, QWidget *window)
{
    const QString printer = printers.defaultPrinter();

    std::unique_ptr<PrintSurface> surface;
    QString pdfPath;
    QString unavailable;   // why no surface could be made
    if (!printer.isEmpty()) {
        surface = printers.printerSurface(printer);
    } else {
        if (dialogs.message(window, noPrinterOfferText(), Buttons::YesNo, Icon::None, QString())
            != Answer::Yes)
            return;
        const FileDialogOutcome outcome =
            dialogs.showSave(window, QStringLiteral("PDF Files (*.pdf)|*.pdf"), QString(), Overwrite::Ask);
        if (!acceptDialogOutcome(dialogs, window, outcome))
            return;
        // Named as a PDF, so that the desktop knows what it is.
        pdfPath = withTypeExtension(dialogs, window, outcome.path, QStringLiteral("pdf"));
        if (pdfPath.isEmpty())
            return;
        surface = printers.pdfSurface(pdfPath, &unavailable);
    }

    const auto failed = [&](const QString &why) {
        const QString text = pdfPath.isEmpty() ? printerFailedText(printer, why)
                                                : pdfFailedText(pdfPath, why);
        dialogs.message(window, text, Buttons::Ok, Icon::Critical, QString());
    };
    if (!surface) {
        failed(unavailable.isEmpty() ? QStringLiteral("Printing is not available in this program.") : unavailable);
        return;
    }
    if (!surface->begin()) {
        failed(surface->errorString());
        return;
    }
    // The responses as they are at this moment.
    if (!printQuestionnaireReport(*surface, questionnaire.responses())) {
        failed(surface->errorString());
        return;
    }
    dialogs.message(window, QStringLiteral("Successfully Printed.."), Buttons::Ok, Icon::None,
                    QStringLiteral("Printing"),
                    pdfPath.isEmpty() ? QString()
                                      : QStringLiteral("The report is saved as ")
                                            + QDir::toNativeSeparators(QFileInfo(pdfPath).absoluteFilePath()));
}

} // namespace brevant
