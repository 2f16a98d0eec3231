#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace brevant::test {

// The whole of a file, or "<cannot read PATH: REASON>" (which no test
// expects) when it cannot be read.
QByteArray fileBytes(const QString &path);

// Makes path hold exactly bytes; false when it cannot.
bool writeFileBytes(const QString &path, QByteArrayView bytes);

} // namespace brevant::test
