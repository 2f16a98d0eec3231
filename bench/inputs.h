#pragma once

#include <QString>
#include <QStringList>

namespace bench {

// Deterministic prose of exactly `characters` characters: words of a
// department's report, some with Windows-1252 letters and punctuation
// (é, ü, œ, €, “ ”, –), in sentences and paragraphs of ordinary length,
// paragraphs ended by '\n' and now and then followed by an empty line.
// The same seed gives the same text on every machine.
QString prose(qsizetype characters, quint32 seed);

// The 27 responses of the questionnaire, each `characters` long and each
// different.
QStringList responses(qsizetype characters);

// The printed report as plain text: each item's headings, "Response", the
// response and an empty line, lines ended by '\n'.
QString reportText(const QStringList &responses);

} // namespace bench
