#pragma once

#include <QByteArray>
#include <QString>

namespace brevant {

// What a shared library's file says of itself before it is loaded: whether
// it is whole, and its GNU build-id. A library cut short is mapped by the
// dynamic linker all the same, and the first use of a page past the file's
// end ends the process with a bus error; looking first turns that into a
// reason.
struct ModuleImage {
    bool whole = false;
    QByteArray buildId;   // the note's bytes; empty when the file has none
    QString reason;       // not whole: why, in words that follow "the file "
};

// Reads the headers of the ELF file at path (of this machine's class and
// byte order): every loadable segment, the program and section header
// tables and the notes must lie within the file.
ModuleImage inspectModule(const QString &path);

} // namespace brevant
