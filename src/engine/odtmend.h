#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace brevant {

// The OpenDocument file from Qt's writer with its content.xml mended: no
// tab before a line break and none of the writer's indentation, which a
// word processor would read as blanks, inside a paragraph. Empty, with the
// reason in *error, when the file cannot be read or written.
// Every member is stamped with made.
QByteArray withoutTabsBeforeLineBreaks(const QByteArray &odt, const QDateTime &made, QString *error = nullptr);

} // namespace brevant
