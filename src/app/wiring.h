#pragma once

#include "app/endsignals.h"
#include "print/printsurfaceqt.h"
#include "ui/qtservices.h"
#include "ui/spelling.h"
#include "updates/mailsender.h"

#include <QString>

namespace brevant {

// Everything the program needs from the platform, handed over at start.
struct Services {
    Dialogs &dialogs;
    Shell &shell;
    Lifetime &lifetime;
    PrinterFactory &printers;
    MailSender &mail;
    QString programFolder;   // no trailing separator
    // The program's own data (recovery copies, backups of replaced files):
    // a folder of the user's, not the program folder.
    QString dataFolder;
    // The spelling dictionary of the response boxes; none: no spell checking.
    Speller *speller = nullptr;
    // The endings the desktop asks for (signals, the session manager); none:
    // the program is not told.
    EndSignals *endSignals = nullptr;
};

// The platform's own services: Qt's message boxes and file dialogs, the
// desktop's shell, the print system and the workstation's mail.
struct PlatformServices {
    QtDialogs dialogs;
    DesktopShell shell;
    QtLifetime lifetime;
    QtPrinterFactory printers;
    MailSender mail;
    // In the user's language, falling back to American English.
    Speller speller{Speller::languagesFor(QLocale::system())};
    EndSignals endSignals;

    Services services(const QString &programFolder, const QString &dataFolder)
    {
        return {dialogs, shell, lifetime, printers, mail, programFolder, dataFolder, &speller, &endSignals};
    }
};

// The program's data folder in the user's home (~/.local/share/brevant).
QString userDataFolder();

} // namespace brevant
