#include "app/program.h"

#include "app/registerupdate.h"
#include "app/std0.h"
#include "app/std11.h"
#include "questionnaire/catalogue.h"
#include "questionnaire/examplewindow.h"
#include "questionnaire/questionpage.h"
#include "report/browserwindow.h"
#include "report/templateselect.h"
#include "ui/spelling.h"
#include "updates/registerform.h"
#include "workfile/recoveryoffer.h"
#include "workfile/recoveryrecorder.h"
#include "workfile/workcommands.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

const QuestionnaireCatalogue &catalogue()
{
    return QuestionnaireCatalogue::instance();
}

} // namespace

Program::Program(const Services &services)
    : m_services(services), m_backups(services.dataFolder + u"/backups"_s)
{
    RecoveryRecorder::Source source;
    source.response = [this](int item) { return existingResponse(item); };
    source.answers = [this] {
        QStringList texts;
        for (const QuestionnaireItem &item : catalogue().items()) {
            if (!item.hasAnswer())
                continue;
            const auto *page = static_cast<const QuestionPage *>(existing(catalogue().page(item.page).window));
            texts << (page ? page->answerBox(item.answerBox)->currentText() : u"Yes"_s);
        }
        return texts;
    };
    source.workFiles = [this] {
        const auto *start = static_cast<const Std0 *>(existing(u"Std0"_s));
        return start ? std::pair(start->state.Name_File, start->state.FileName) : std::pair<QString, QString>();
    };
    m_recovery = std::make_unique<RecoveryRecorder>(recoveryFolder(), std::move(source));
    connect(m_recovery.get(), &RecoveryRecorder::writeFailed, this, &Program::recoveryCopyFailed);
}

Program::~Program()
{
    // Whatever is not on disk yet goes into the recovery copy while the
    // boxes are still there.
    m_recovery.reset();
    // Tear-down at the end of the process: no unload rule runs here.
    const auto all = windows();
    m_windows.clear();
    qDeleteAll(all);
}

void Program::start()
{
    showWindow(registerUpdate());
}

template <class T, class... Args>
T *Program::get(const QString &name, Args &&...args)
{
    if (Window *w = existing(name))
        return static_cast<T *>(w);
    auto *window = new T(std::forward<Args>(args)...);
    adopt(window);
    return window;
}

void Program::adopt(Window *window)
{
    m_windows.insert(window->objectName(), window);
    window->Form_Load();
}

RegisterUpdate *Program::registerUpdate() { return get<RegisterUpdate>(u"RegisterUpdate"_s, *this); }
RegisterForm *Program::registerForm()
{
    return get<RegisterForm>(u"RegisterForm"_s, *this, dialogs(), m_services.mail);
}
Std0 *Program::std0() { return get<Std0>(u"Std0"_s, *this); }
ExampleWindow *Program::example() { return get<ExampleWindow>(u"Example"_s, *this); }
Std11 *Program::std11() { return get<Std11>(u"Std11"_s, *this); }
TemplateSelect *Program::templateSelect()
{
    return get<TemplateSelect>(u"TemplateSelect"_s, *this, dialogs(), *this, m_services.shell);
}
BrowserWindow *Program::browser() { return get<BrowserWindow>(u"browser"_s, *this, m_services.shell); }

QuestionPage *Program::page(int number)
{
    const QString name = catalogue().page(number).window;
    if (Window *w = existing(name))
        return static_cast<QuestionPage *>(w);
    QuestionPage *made = get<QuestionPage>(name, *this, dialogs(), number, m_services.speller);
    wire(made);
    return made;
}

Window *Program::window(const QString &name)
{
    for (const QuestionnairePage &p : catalogue().pages()) {
        if (p.window == name)
            return page(p.number);
    }
    if (name == "RegisterUpdate"_L1)
        return registerUpdate();
    if (name == "RegisterForm"_L1)
        return registerForm();
    if (name == "Std0"_L1)
        return std0();
    if (name == "Example"_L1)
        return example();
    if (name == "Std11"_L1)
        return std11();
    if (name == "TemplateSelect"_L1)
        return templateSelect();
    if (name == "browser"_L1)
        return browser();
    qFatal("no window is called %s", qPrintable(name));
}

void Program::wire(QuestionPage *page)
{
    connect(page, &QuestionPage::saveRequested, this,
            [this](QuestionPage *p) { saveWork(savedWork(), p, p->saveDialog()); });
    connect(page, &QuestionPage::saveAsRequested, this,
            [this](QuestionPage *p) { saveWorkAs(savedWork(), p, p->saveDialog()); });

    RecoveryRecorder *recorder = m_recovery.get();
    for (const QuestionnaireItem *item : catalogue().itemsOfPage(page->number())) {
        const int number = item->number;
        recorder->boxMade(number);
        // Typing, pasting, cutting, undoing and Load alike change the
        // document. The recovery copy is told what changed, in a few
        // characters where it can be.
        QTextDocument *document = page->responseBox(item->responseBox)->document();
        connect(document, &QTextDocument::contentsChange, recorder,
                [recorder, number, document](int position, int removed, int added) {
                    // Underlining a misspelt word changes no text.
                    if (SpellHighlighter::isFormatting(document))
                        return;
                    const int length = document->characterCount() - 1;
                    // (Replacing the whole text counts the last paragraph
                    // end in; it is no part of the text.)
                    added = std::min(added, length - position);
                    std::optional<QString> text;
                    if (added >= 0 && added <= RecoveryRecorder::kMaxEditLength) {
                        QTextCursor cursor(document);
                        cursor.setPosition(position);
                        cursor.setPosition(position + added, QTextCursor::KeepAnchor);
                        text = cursor.selectedText();
                    }
                    recorder->responseEdited(number, position, removed, text, length);
                });
        if (QComboBox *answer = page->answerBox(item->answerBox))
            connect(answer, &QComboBox::currentTextChanged, recorder, &RecoveryRecorder::answerChanged);
    }
}

Window *Program::existing(const QString &name) const
{
    const auto it = m_windows.constFind(name);
    return it == m_windows.constEnd() ? nullptr : it->data();
}

QList<Window *> Program::windows() const
{
    QList<Window *> result;
    for (const auto &w : m_windows) {
        if (w)
            result.append(w.data());
    }
    return result;
}

void Program::showWindow(QWidget *window)
{
    window->show();
    window->raise();
    // A window that comes up beside another (the Example window) leaves
    // the keyboard where it is.
    if (!window->testAttribute(Qt::WA_ShowWithoutActivating))
        window->activateWindow();
}

void Program::hideWindow(QWidget *window)
{
    window->hide();
}

void Program::closeWindow(Window *window)
{
    if (!window || m_closing.contains(window) || !m_windows.contains(window->objectName()))
        return;
    m_closing.insert(window);
    window->Form_Unload();
    m_windows.remove(window->objectName());
    window->hide();
    window->deleteLater();
    m_closing.remove(window);
    if (m_windows.isEmpty() && !m_lastClosed && !m_ended) {
        m_lastClosed = true;
        m_services.lifetime.lastWindowClosed();
    }
}

void Program::closeAll()
{
    // Work files are written whole within each Save, so nothing is held
    // open between commands that the rule would have to close first.
    const bool outer = !m_closingAll;
    // What was typed is in the recovery copy before the boxes go.
    if (outer)
        m_recovery->flush();
    m_closingAll = true;
    const auto all = windows();
    for (Window *w : all)
        closeWindow(w);
    if (outer)
        m_closingAll = false;
}

void Program::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    // The program ends without a question: what was not saved is in the
    // recovery copy, on disk before the process goes.
    m_recovery->flush();
    for (Window *w : windows())
        w->hide();
    m_services.lifetime.endProgram();
}

QString Program::programPath(const QString &relative) const
{
    return m_services.programFolder + relative;
}

QPlainTextEdit *Program::responseBox(int item)
{
    const QuestionnaireItem &it = catalogue().item(item);
    return page(it.page)->responseBox(it.responseBox);
}

QString Program::response(int item)
{
    return withNewlines(responseBox(item)->document()->toRawText());
}

void Program::setResponses(const QStringList &texts)
{
    for (int i = 1; i <= kItemCount && i <= texts.size(); ++i)
        responseBox(i)->setPlainText(texts.at(i - 1));
}

QString Program::existingResponse(int item) const
{
    const QuestionnaireItem &it = catalogue().item(item);
    const auto *page = static_cast<const QuestionPage *>(existing(catalogue().page(it.page).window));
    return page ? page->responseBox(it.responseBox)->document()->toRawText() : QString();
}

QStringList Program::answers()
{
    QStringList texts;
    for (const QuestionnaireItem &item : catalogue().items()) {
        if (item.hasAnswer())
            texts << page(item.page)->answerBox(item.answerBox)->currentText();
    }
    return texts;
}

void Program::setAnswers(const QStringList &texts)
{
    qsizetype k = 0;
    for (const QuestionnaireItem &item : catalogue().items()) {
        if (!item.hasAnswer())
            continue;
        if (k < texts.size())
            page(item.page)->answerBox(item.answerBox)->setCurrentText(texts.at(k));
        ++k;
    }
}

void Program::markSaved()
{
    m_recovery->markClean();
}

SavedWork Program::savedWork()
{
    return {dialogs(), *this, std0()->state, m_backups};
}

QString Program::recoveryFolder() const
{
    return m_services.dataFolder.isEmpty() ? QString() : m_services.dataFolder + u"/recovery"_s;
}

bool Program::offerRecoveredWork(QWidget *parent)
{
    if (m_offered)
        return false;
    m_offered = true;
    if (recoveryFolder().isEmpty())
        return false;
    return brevant::offerRecoveredWork(recoveryFolder(), m_recovery->session(), dialogs(), parent,
                                       [this](const RecoveryCopy &copy) { restore(copy); });
}

void Program::restore(const RecoveryCopy &copy)
{
    setResponses(copy.responses);
    setAnswers(copy.answers);
    WorkFileState &state = std0()->state;
    state.Name_File = copy.nameFile;
    state.FileName = copy.fileName;
    // The restored work is this run's own unsaved work now: in this run's
    // copy before the old one is set aside.
    m_recovery->flush();
}

QWidget *Program::frontWindow() const
{
    for (Window *w : windows()) {
        if (w->isVisible() && w->isActiveWindow())
            return w;
    }
    for (Window *w : windows()) {
        if (w->isVisible())
            return w;
    }
    return nullptr;
}

void Program::recoveryCopyFailed(const QString &folder, const QString &reason)
{
    if (m_toldRecoveryFailed || m_ended)
        return;
    // Not over a dialog that is open now: when it is answered.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(1000, this, [this, folder, reason] { recoveryCopyFailed(folder, reason); });
        return;
    }
    m_toldRecoveryFailed = true;
    dialogs().message(frontWindow(),
                      u"The program cannot keep a recovery copy of the responses you type: the "
                      "folder\r\n%1\r\ncannot be written. %2\r\n\r\nThe program works as before, "
                      "but what you type is kept only once you save it with Save or Save As."_s
                          .arg(QDir::toNativeSeparators(folder), reason),
                      Buttons::Ok, Icon::Critical, u"Recovery Copy Not Kept"_s);
}

} // namespace brevant
