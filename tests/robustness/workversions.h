#pragma once

#include "core/catalogue.h"

#include <QString>
#include <QStringList>

namespace brevant::test {

// Two versions of a large piece of work (about 4 MiB as a work file), which
// differ on every line: a file that mixes them, or stops short, is neither.
inline QStringList largeWork(int version)
{
    constexpr int kLinesPerResponse = 1900;
    QStringList responses;
    for (int item = 1; item <= kItemCount; ++item) {
        QString text;
        text.reserve(kLinesPerResponse * 82);
        for (int line = 1; line <= kLinesPerResponse; ++line) {
            text += QStringLiteral("Version %1, item %2, line %3: the department keeps its records here.")
                        .arg(version)
                        .arg(item)
                        .arg(line);
            if (line < kLinesPerResponse)
                text += QLatin1Char('\n');
        }
        responses << text;
    }
    return responses;
}

} // namespace brevant::test
