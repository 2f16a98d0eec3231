#pragma once

#include <QString>
#include <QStringList>

namespace brevant::test {

// What brevant_typinghelper types into the first response box, word by
// word: words the work file cannot hold among them, with Shift+Enter after
// every fifth word and Enter after every seventh.
inline const QStringList &typedWords()
{
    static const QStringList words = [] {
        const QStringList base = QString::fromUtf8(
            "The department \u2265 two FTE faculty \u20ac caf\u00e9 \U0001F600 \u201cquoted\u201d "
            "na\u00efve \u03b1\u03b2\u03b3 courses taught by full-time faculty \u2013 "
            "\u4e2d\u6587 and <markup> & more")
            .split(u' ');
        QStringList all;
        for (int round = 0; round < 6; ++round)
            all += base;
        return all;
    }();
    return words;
}

// The separator typed after word k (0-based), as the box holds it once the
// copy has turned paragraph ends into '\n': Shift+Enter keeps U+2028.
inline QString separatorAfter(int k)
{
    if ((k + 1) % 7 == 0)
        return QStringLiteral("\n");
    if ((k + 1) % 5 == 0)
        return QString(QChar::LineSeparator);
    return QStringLiteral(" ");
}

// The box after the first n words and their separators.
inline QString typedText(int n)
{
    QString text;
    for (int k = 0; k < n; ++k)
        text += typedWords().at(k) + separatorAfter(k);
    return text;
}

} // namespace brevant::test
