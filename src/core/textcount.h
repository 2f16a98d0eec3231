#pragma once

#include <QString>
#include <QStringView>

namespace brevant {

// Words and characters of a text as a user counts them: a word is a run of
// characters other than blanks and line breaks; every character but a line
// break counts, a character outside the Basic Multilingual Plane once.
struct TextCount {
    qint64 words = 0;
    qint64 characters = 0;
};
TextCount countText(QStringView text);

// "134 words, 812 characters"; "1 word, 1 character".
QString countLine(const TextCount &count);

} // namespace brevant
