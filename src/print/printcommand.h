#pragma once

#include <QString>

class QWidget;

namespace brevant {

class Dialogs;
class PrinterFactory;
class Questionnaire;

// Print on the completion window: the whole report as one document on the
// default printer. With no printer set up, the user may save the same
// document as a PDF file instead. window: the window the messages stand in
// front of.
void printReport(Dialogs &dialogs, PrinterFactory &printers, Questionnaire &questionnaire, QWidget *window);

// The texts of the print command's own messages.
QString noPrinterOfferText();
QString printerFailedText(const QString &printer, const QString &why);
QString pdfFailedText(const QString &path, const QString &why);

} // namespace brevant
