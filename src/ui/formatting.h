#pragma once

class QTextDocument;

namespace brevant {

// Formatting that is not text: the underlines of misspelt words, the marks
// of what a search found. A document reports such formatting as a change
// of its contents; while a FormattingOnly stands for a document, whoever
// follows its text (the responses' model, the recovery copy) knows that no
// character changed. Every highlighter applies its formats under one.
class FormattingOnly {
public:
    explicit FormattingOnly(const QTextDocument *document);
    ~FormattingOnly();
    FormattingOnly(const FormattingOnly &) = delete;
    FormattingOnly &operator=(const FormattingOnly &) = delete;

    // True while formatting only is applied to the document.
    static bool active(const QTextDocument *document);

private:
    const QTextDocument *m_previous;
};

} // namespace brevant
