#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace brevant::test {

// Plain letters with the characters where writing a file can go wrong
// among them, in a fixed pseudo-random order given by seed: markup and
// percent signs, every kind of line break, letters of the code page, the
// C1 controls, characters outside the code page, surrogate pairs and lone
// surrogates. Long texts have the long plain runs that a writer may copy
// in blocks.
QString trickyText(int length, quint32 seed);

// 27 responses that together hold every such case once on its own, and
// then in mixtures of many lengths. The golden work file and report of
// the tests are written from these: never change them.
QStringList trickyResponses();

// A template with every kind of line end, an empty line, bytes above 127
// and no line end after its last line.
QByteArray trickyTemplate();

} // namespace brevant::test
