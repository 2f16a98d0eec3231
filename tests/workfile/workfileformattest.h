#pragma once

// What the tests of the work-file format share.
#include "core/workfileformat.h"

#include <QStringList>

namespace brevant::test {

inline QStringList emptyResponses()
{
    return QStringList(kItemCount);
}

inline QString fromUtf8(const char *s)
{
    return QString::fromUtf8(s);
}

// A work file whose first response is text and the others empty.
inline QByteArray fileOfFirst(const QString &text)
{
    QStringList r = emptyResponses();
    r[0] = text;
    return TextToFile(r);
}

} // namespace brevant::test
