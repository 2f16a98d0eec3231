#pragma once

#include <QHash>
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTimer>

class QMenu;
class QPlainTextEdit;

typedef struct str_enchant_broker EnchantBroker;
typedef struct str_enchant_dict EnchantDict;

namespace brevant {

// One spelling dictionary of the desktop's spell-checking broker, shared by
// every response box. The broker starts with the first word asked about;
// without any dictionary for the languages asked for, nothing is misspelt.
class Speller : public QObject {
    Q_OBJECT
public:
    // The first of the languages ("de_DE", "en_US") that has a dictionary.
    explicit Speller(const QStringList &languages);
    ~Speller() override;

    // The user's language, then American English.
    static QStringList languagesFor(const QLocale &locale);

    bool available();
    QString language();

    bool isMisspelt(const QString &word);
    // At most `most` replacements, best first.
    QStringList suggestions(const QString &word, int most = 5);
    // Into the personal word list, which other programs share.
    void addToDictionary(const QString &word);
    // Accepted for the rest of this run.
    void ignoreAll(const QString &word);

    // Goes up whenever a word that was misspelt may no longer be.
    quint64 generation() const { return m_generation; }

signals:
    void wordsAccepted();

private:
    void open();
    void accepted(const QString &word);

    QStringList m_languages;
    bool m_opened = false;
    EnchantBroker *m_broker = nullptr;
    EnchantDict *m_dict = nullptr;
    QString m_language;
    QHash<QString, bool> m_known;   // word -> misspelt
    quint64 m_generation = 1;
};

// A word of a paragraph: where it starts and how long it is.
struct WordSpan {
    int start = 0;
    int length = 0;
};
// The words of a text that spelling looks at: runs of letters with
// apostrophes inside; runs with a digit in them are left alone.
QList<WordSpan> spellingWords(QStringView text);

// Red wavy underlines under the misspelt words of one response box. The
// underline is formatting of the box's layout only; the text is never
// touched. Only what the box shows is checked, a few paragraphs at a time
// when the program is idle, so typing and Load go at the speed of a plain
// box.
class SpellHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    SpellHighlighter(QPlainTextEdit *box, Speller &speller);
    ~SpellHighlighter() override;

    // The spelling entries for the misspelt word at a point of the box's
    // viewport, put at the top of its context menu.
    void addMenuEntries(QMenu *menu, const QPoint &at);

    // How long one idle slice may check, in milliseconds.
    static constexpr int kSliceMs = 4;

    // Checks what is shown now, without waiting for idle time (tests and
    // benchmarks).
    void checkShownNow();

protected:
    void highlightBlock(const QString &text) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void contentsChange(int position, int removed, int added);
    void cursorMoved();
    void schedule();
    // Checks unchecked paragraphs that are shown; returns false when the
    // budget ran out before all were done.
    bool checkShown(qint64 budgetMs);

    QPlainTextEdit *m_box;
    Speller &m_speller;
    QTextCharFormat m_misspelt;
    QTimer m_idle;
    quint64 m_textGeneration = 1;   // a whole new text starts a new one
    QTextBlock m_typedBlock;        // where a word was left unchecked
    bool m_applying = false;
};

} // namespace brevant
