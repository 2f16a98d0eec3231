#include "ui/spelling.h"

#include "ui/blockdata.h"
#include "ui/formatting.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <enchant.h>

#include <limits>

namespace brevant {

Speller::Speller(const QStringList &languages) : m_languages(languages) {}

Speller::~Speller()
{
    if (m_dict)
        enchant_broker_free_dict(m_broker, m_dict);
    if (m_broker)
        enchant_broker_free(m_broker);
}

QStringList Speller::languagesFor(const QLocale &locale)
{
    QStringList languages;
    const QString name = locale.name();   // "de_DE", or "C"
    if (name.contains(QLatin1Char('_')))
        languages << name;
    if (!languages.contains(QLatin1String("en_US")))
        languages << QStringLiteral("en_US");
    return languages;
}

void Speller::open()
{
    if (m_opened)
        return;
    m_opened = true;
    if (m_languages.isEmpty())
        return;
    m_broker = enchant_broker_init();
    if (!m_broker)
        return;
    for (const QString &language : std::as_const(m_languages)) {
        const QByteArray tag = language.toUtf8();
        if (enchant_broker_dict_exists(m_broker, tag.constData())) {
            m_dict = enchant_broker_request_dict(m_broker, tag.constData());
            if (m_dict) {
                m_language = language;
                return;
            }
        }
    }
}

bool Speller::available()
{
    open();
    return m_dict != nullptr;
}

QString Speller::language()
{
    open();
    return m_language;
}

bool Speller::isMisspelt(const QString &word)
{
    if (!available() || word.isEmpty())
        return false;
    const auto known = m_known.constFind(word);
    if (known != m_known.constEnd())
        return *known;
    const QByteArray utf8 = word.toUtf8();
    // 0: correct; a negative number: the dictionary failed, which is no
    // reason to underline.
    const bool misspelt = enchant_dict_check(m_dict, utf8.constData(), utf8.size()) > 0;
    if (m_known.size() > 200000)
        m_known.clear();
    m_known.insert(word, misspelt);
    return misspelt;
}

QStringList Speller::suggestions(const QString &word, int most)
{
    QStringList result;
    if (!available() || word.isEmpty())
        return result;
    const QByteArray utf8 = word.toUtf8();
    size_t count = 0;
    char **list = enchant_dict_suggest(m_dict, utf8.constData(), utf8.size(), &count);
    for (size_t i = 0; list && i < count && result.size() < most; ++i) {
        const QString s = QString::fromUtf8(list[i]);
        if (!s.isEmpty() && !result.contains(s))
            result << s;
    }
    if (list)
        enchant_dict_free_string_list(m_dict, list);
    return result;
}

void Speller::addToDictionary(const QString &word)
{
    if (!available() || word.isEmpty())
        return;
    const QByteArray utf8 = word.toUtf8();
    enchant_dict_add(m_dict, utf8.constData(), utf8.size());
    accepted(word);
}

void Speller::ignoreAll(const QString &word)
{
    if (!available() || word.isEmpty())
        return;
    const QByteArray utf8 = word.toUtf8();
    enchant_dict_add_to_session(m_dict, utf8.constData(), utf8.size());
    accepted(word);
}

void Speller::accepted(const QString &)
{
    // The dictionary may now take other forms of the word too.
    m_known.clear();
    ++m_generation;
    emit wordsAccepted();
}

QList<WordSpan> spellingWords(QStringView text)
{
    QList<WordSpan> words;
    const auto isApostrophe = [](QChar c) { return c == u'\'' || c == QChar(0x2019); };
    const auto isWordChar = [](QChar c) {
        return c.isLetterOrNumber() || c.isMark() || c.isSurrogate();
    };
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        bool digit = false;
        while (i < n) {
            const QChar c = text[i];
            if (isWordChar(c)) {
                digit = digit || c.isDigit();
                ++i;
            } else if (isApostrophe(c) && i + 1 < n && isWordChar(text[i + 1]) && i > start) {
                ++i;
            } else {
                break;
            }
        }
        if (!digit && i - start > 1)
            words.append({int(start), int(i - start)});
    }
    return words;
}

SpellHighlighter::SpellHighlighter(QPlainTextEdit *box, Speller &speller)
    : QSyntaxHighlighter(static_cast<QObject *>(box)), m_box(box), m_speller(speller)
{
    // The box's, and gone with it: the document outlives the box.
    setDocument(box->document());
    m_misspelt.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    m_misspelt.setUnderlineColor(Qt::red);
    // The highlighter formats only the paragraphs this class asks it to,
    // once they are checked; an edit does not make it go over the rest.
    disconnect(box->document(), &QTextDocument::contentsChange, this, nullptr);
    connect(box->document(), &QTextDocument::contentsChange, this, &SpellHighlighter::contentsChange);
    m_idle.setSingleShot(true);
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, [this] {
        if (!checkShown(kSliceMs))
            schedule();
    });
    // Whatever the box paints anew (typing, scrolling, showing, resizing)
    // may show paragraphs not checked yet.
    connect(box, &QPlainTextEdit::updateRequest, this, &SpellHighlighter::schedule);
    connect(box, &QPlainTextEdit::cursorPositionChanged, this, &SpellHighlighter::cursorMoved);
    box->installEventFilter(this);
    connect(&speller, &Speller::wordsAccepted, this, &SpellHighlighter::schedule);
}

SpellHighlighter::~SpellHighlighter()
{
    // The underlines leave the document with the box; no text changes.
    // The box is half gone by now (its children go after its own part):
    // taking the underlines away is no edit for this highlighter to follow.
    disconnect(document(), &QTextDocument::contentsChange, this, &SpellHighlighter::contentsChange);
    const FormattingOnly formatting(document());
    setDocument(nullptr);
}

void SpellHighlighter::schedule()
{
    if (!m_idle.isActive() && m_box->isVisible())
        m_idle.start();
}

void SpellHighlighter::contentsChange(int position, int removed, int added)
{
    if (m_applying)
        return;
    QTextDocument *document = m_box->document();
    const int length = document->characterCount();
    if (position == 0 && added >= length - 1 && removed > 0) {
        ++m_textGeneration;   // a whole new text: every paragraph is new
    } else {
        const QTextBlock last = document->findBlock(std::min(position + added, length - 1));
        for (QTextBlock b = document->findBlock(position); b.isValid(); b = b.next()) {
            if (auto *data = static_cast<ResponseBlockData *>(b.userData()))
                data->spellText = 0;
            if (b == last)
                break;
        }
    }
    schedule();
}

void SpellHighlighter::cursorMoved()
{
    // A word left while it was being typed is checked once the cursor
    // leaves it.
    const QTextCursor cursor = m_box->textCursor();
    for (QTextBlock b : {m_typedBlock, cursor.block()}) {
        if (!b.isValid())
            continue;
        auto *data = static_cast<ResponseBlockData *>(b.userData());
        if (data && data->typedWord >= 0
            && (b != cursor.block() || cursor.positionInBlock() < data->typedWord
                || cursor.positionInBlock() > data->typedWordEnd)) {
            data->spellText = 0;
            schedule();
        }
    }
}

bool SpellHighlighter::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the box leaves the word that was being typed.
    if (watched == m_box && event->type() == QEvent::FocusOut && m_typedBlock.isValid()) {
        if (auto *data = static_cast<ResponseBlockData *>(m_typedBlock.userData()); data && data->typedWord >= 0) {
            data->spellText = 0;
            schedule();
        }
    }
    return QSyntaxHighlighter::eventFilter(watched, event);
}

void SpellHighlighter::highlightBlock(const QString &)
{
    // Called for the paragraphs checked just now, and by the highlighter
    // itself when it starts; only what was found is shown.
    auto *data = static_cast<ResponseBlockData *>(currentBlockUserData());
    if (!m_applying || !data)
        return;
    for (const auto &[start, length] : std::as_const(data->misspelt))
        setFormat(start, length, m_misspelt);
}

void SpellHighlighter::checkShownNow()
{
    checkShown(std::numeric_limits<qint64>::max());
}

bool SpellHighlighter::checkShown(qint64 budgetMs)
{
    if (!m_box->isVisible() || !m_speller.available())
        return true;
    QElapsedTimer elapsed;
    elapsed.start();
    const QRect view = m_box->viewport()->rect();
    QTextBlock block = m_box->cursorForPosition(view.topLeft()).block();
    const QTextBlock lastShown = m_box->cursorForPosition(view.bottomRight()).block();
    const quint64 words = m_speller.generation();
    // The word being typed is not underlined until it is left.
    const QTextCursor cursor = m_box->textCursor();
    const bool typing = m_box->hasFocus() && !cursor.hasSelection();
    for (; block.isValid(); block = block.next()) {
        ResponseBlockData *data = ResponseBlockData::of(block);
        if (data->spellText != m_textGeneration || data->spellWords != words) {
            if (elapsed.elapsed() >= budgetMs)
                return false;
            const QString text = block.text();
            const int at = typing && cursor.block() == block ? cursor.positionInBlock() : -1;
            QList<std::pair<int, int>> found;
            data->typedWord = -1;
            for (const WordSpan &w : spellingWords(text)) {
                if (at >= w.start && at <= w.start + w.length) {
                    data->typedWord = w.start;
                    data->typedWordEnd = w.start + w.length;
                    m_typedBlock = block;
                    // What was underlined there stays until it is checked.
                    for (const auto &old : std::as_const(data->misspelt)) {
                        if (old.first == w.start && old.second <= w.length)
                            found.append(old);
                    }
                    continue;
                }
                if (m_speller.isMisspelt(text.mid(w.start, w.length)))
                    found.append({w.start, w.length});
            }
            const bool changed = found != data->misspelt;
            data->misspelt = std::move(found);
            data->spellText = m_textGeneration;
            data->spellWords = words;
            if (changed) {
                const FormattingOnly formatting(m_box->document());
                m_applying = true;
                rehighlightBlock(block);
                m_applying = false;
            }
        }
        if (block == lastShown)
            break;
    }
    return true;
}

void SpellHighlighter::addMenuEntries(QMenu *menu, const QPoint &at)
{
    if (!m_speller.available())
        return;
    const QTextCursor cursor = m_box->cursorForPosition(at);
    const QTextBlock block = cursor.block();
    const QString text = block.text();
    const int offset = cursor.positionInBlock();
    WordSpan word;
    bool found = false;
    for (const WordSpan &w : spellingWords(text)) {
        if (offset >= w.start && offset <= w.start + w.length) {
            word = w;
            found = true;
            break;
        }
    }
    if (!found)
        return;
    const QString misspelt = text.mid(word.start, word.length);
    if (!m_speller.isMisspelt(misspelt))
        return;

    QAction *first = menu->actions().value(0);
    const int start = block.position() + word.start;
    const int end = start + word.length;
    QList<QAction *> entries;
    for (const QString &suggestion : m_speller.suggestions(misspelt, 5)) {
        auto *replace = new QAction(suggestion, menu);
        QPointer<QPlainTextEdit> box = m_box;
        connect(replace, &QAction::triggered, menu, [box, start, end, misspelt, suggestion] {
            if (!box)
                return;
            QTextCursor edit(box->document());
            edit.setPosition(start);
            edit.setPosition(end, QTextCursor::KeepAnchor);
            // The word may have changed while the menu was open.
            if (edit.selectedText() != misspelt)
                return;
            // One step for undo.
            edit.beginEditBlock();
            edit.insertText(suggestion);
            edit.endEditBlock();
            box->setTextCursor(edit);
        });
        entries << replace;
    }
    if (!entries.isEmpty()) {
        auto *line = new QAction(menu);
        line->setSeparator(true);
        entries << line;
    }
    Speller *speller = &m_speller;
    auto *add = new QAction(QStringLiteral("Add to Dictionary"), menu);
    connect(add, &QAction::triggered, menu, [speller, misspelt] { speller->addToDictionary(misspelt); });
    auto *ignore = new QAction(QStringLiteral("Ignore All"), menu);
    connect(ignore, &QAction::triggered, menu, [speller, misspelt] { speller->ignoreAll(misspelt); });
    auto *line = new QAction(menu);
    line->setSeparator(true);
    entries << add << ignore << line;
    menu->insertActions(first, entries);
}

} // namespace brevant
