#include "inputs.h"

#include "core/catalogue.h"

namespace bench {

namespace {

// A small generator with a fixed sequence (xorshift32).
class Sequence {
public:
    explicit Sequence(quint32 seed) : m_state(seed ? seed : 0x9e3779b9u) {}
    quint32 next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int below(int n) { return int(next() % quint32(n)); }

private:
    quint32 m_state;
};

const QStringList &vocabulary()
{
    static const QStringList words = {
        QStringLiteral("the"), QStringLiteral("department"), QStringLiteral("offers"),
        QStringLiteral("faculty"), QStringLiteral("members"), QStringLiteral("with"),
        QStringLiteral("full-time"), QStringLiteral("appointments"), QStringLiteral("and"),
        QStringLiteral("a"), QStringLiteral("major"), QStringLiteral("in"), QStringLiteral("of"),
        QStringLiteral("studio"), QStringLiteral("courses"), QStringLiteral("credits"),
        QStringLiteral("per"), QStringLiteral("year,"), QStringLiteral("semester"),
        QStringLiteral("requirement"), QStringLiteral("is"), QStringLiteral("met"),
        QStringLiteral("by"), QStringLiteral("baccalaureate"), QStringLiteral("degree"),
        QStringLiteral("programs"), QStringLiteral("general"), QStringLiteral("education"),
        QStringLiteral("cognate"), QStringLiteral("electives"), QStringLiteral("minor"),
        QStringLiteral("associate"), QStringLiteral("professional"), QStringLiteral("curriculum"),
        QStringLiteral("policy"), QStringLiteral("section"), QStringLiteral("5-2:2.1"),
        QStringLiteral("24"), QStringLiteral("FTE"), QStringLiteral("(see"), QStringLiteral("catalogue)"),
        QStringLiteral("to"), QStringLiteral("for"), QStringLiteral("students"),
        QStringLiteral("expertise"), QStringLiteral("history;"), QStringLiteral("theory"),
        QStringLiteral("practice"), QStringLiteral("design"), QStringLiteral("ceramics"),
        QStringLiteral("painting"), QStringLiteral("sculpture"), QStringLiteral("printmaking"),
        QStringLiteral("photography"), QStringLiteral("music"), QStringLiteral("theatre"),
        QStringLiteral("dance"), QStringLiteral("art"), QStringLiteral("are"),
        QStringLiteral("taught"), QStringLiteral("each"), QStringLiteral("term"),
        // Windows-1252 letters and punctuation.
        QStringLiteral("caf\u00e9"), QStringLiteral("na\u00efve"), QStringLiteral("Z\u00fcrich"),
        QStringLiteral("fa\u00e7ade"), QStringLiteral("\u0153uvre"), QStringLiteral("r\u00e9sum\u00e9"),
        QStringLiteral("Stra\u00dfe"), QStringLiteral("\u20ac1,200"), QStringLiteral("\u00bd"),
        QStringLiteral("\u2013"), QStringLiteral("\u201cstudio\u201d"), QStringLiteral("\u00a9"),
        QStringLiteral("\u00c5ngstr\u00f6m"), QStringLiteral("co\u00f6perate"), QStringLiteral("\u00a3300"),
    };
    return words;
}

} // namespace

QString prose(qsizetype characters, quint32 seed)
{
    Sequence random(seed);
    const QStringList &words = vocabulary();
    QString text;
    text.reserve(characters + 64);
    int wordsLeftInSentence = 0;
    int sentencesLeftInParagraph = 2 + random.below(6);
    while (text.size() < characters) {
        if (wordsLeftInSentence == 0) {
            if (!text.isEmpty()) {
                text += QLatin1Char('.');
                if (--sentencesLeftInParagraph == 0) {
                    text += random.below(4) == 0 ? QStringLiteral("\n\n") : QStringLiteral("\n");
                    sentencesLeftInParagraph = 2 + random.below(6);
                } else {
                    text += QLatin1Char(' ');
                }
            }
            wordsLeftInSentence = 6 + random.below(15);
            QString first = words.at(random.below(int(words.size())));
            first[0] = first.at(0).toUpper();
            text += first;
        } else {
            text += QLatin1Char(' ') + words.at(random.below(int(words.size())));
        }
        --wordsLeftInSentence;
    }
    text.truncate(characters);
    return text;
}

QStringList responses(qsizetype characters)
{
    QStringList texts;
    for (int i = 1; i <= brevant::kItemCount; ++i)
        texts << prose(characters, quint32(i * 7919));
    return texts;
}

QString reportText(const QStringList &responses)
{
    const brevant::QuestionnaireCatalogue &catalogue = brevant::QuestionnaireCatalogue::instance();
    QString text;
    for (int i = 1; i <= brevant::kItemCount; ++i) {
        for (const QString &heading : catalogue.headingTexts(i))
            text += heading + QLatin1Char('\n');
        text += QStringLiteral("Response\n") + responses.value(i - 1) + QStringLiteral("\n\n");
    }
    return text;
}

} // namespace bench
