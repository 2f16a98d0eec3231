#pragma once

#include <QString>

namespace brevant {

class Program;
class Std11;

// Print on the completion window: the whole report as one document on the
// default printer. With no printer set up, the user may save the same
// document as a PDF file instead.
void printReport(Program &program, Std11 *window);

// The texts of the print command's own messages.
QString noPrinterOfferText();
QString printerFailedText(const QString &printer, const QString &why);
QString pdfFailedText(const QString &path, const QString &why);

} // namespace brevant
