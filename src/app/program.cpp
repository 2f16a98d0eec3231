#include "app/program.h"

#include "app/endsignals.h"
#include "app/registerupdate.h"
#include "app/std0.h"
#include "app/std11.h"
#include "core/catalogue.h"
#include "navigation/contentswindow.h"
#include "navigation/findwindow.h"
#include "questionnaire/examplewindow.h"
#include "questionnaire/questionpage.h"
#include "report/browserwindow.h"
#include "report/templateselect.h"
#include "updates/registerform.h"
#include "workfile/recoveryrecorder.h"
#include "workfile/workcommands.h"

#include <QPlainTextEdit>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

namespace {

const QuestionnaireCatalogue &catalogue()
{
    return QuestionnaireCatalogue::instance();
}

// The pages' keys in the window registry, after those of WindowId.
constexpr int kPageKey = 100;

} // namespace

Program::Program(const Services &services)
    : m_services(services), m_backups(services.dataFolder + u"/backups"_s),
      m_guard(LockOwner::thisProcess(services.dataFolder))
{
    RecoveryRecorder::Source source;
    source.response = [this](int item) { return m_questionnaire.rawResponse(item); };
    source.answers = [this] { return m_questionnaire.answers(); };
    source.workFiles = [this] {
        const WorkFileState &state = m_questionnaire.workFile();
        return std::pair(state.Name_File, state.FileName);
    };
    m_recovery = std::make_unique<RecoveryRecorder>(recoveryFolder(), std::move(source));
    connect(m_recovery.get(), &RecoveryRecorder::writeFailed, this, &Program::recoveryCopyFailed);
    record();
    guardFiles();
    if (EndSignals *endings = services.endSignals) {
        connect(endings, &EndSignals::endRequested, this, &Program::endOnRequest);
        connect(endings, &EndSignals::saveRequested, this, &Program::keepEverythingTyped);
    }
}

Program::~Program()
{
    // The work files are let go while the program is whole: the guard,
    // a member, would otherwise tell a half-destroyed program.
    m_guard.disconnect(this);
    m_guard.releaseAll();
    // Whatever is not on disk yet goes into the recovery copy.
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
T *Program::get(int key, Args &&...args)
{
    if (Window *w = m_windows.value(key))
        return static_cast<T *>(w);
    auto *window = new T(std::forward<Args>(args)...);
    m_windows.insert(key, window);
    window->Form_Load();
    return window;
}

RegisterUpdate *Program::registerUpdate()
{
    return get<RegisterUpdate>(int(WindowId::RegisterUpdate), *this, dialogs(), m_services.shell);
}
RegisterForm *Program::registerForm()
{
    return get<RegisterForm>(int(WindowId::RegisterForm), *this, dialogs(), m_services.mail);
}
Std0 *Program::std0() { return get<Std0>(int(WindowId::Std0), *this, savedWork(), m_services.shell); }
ExampleWindow *Program::example() { return get<ExampleWindow>(int(WindowId::Example), *this); }
Std11 *Program::std11()
{
    return get<Std11>(int(WindowId::Std11), *this, dialogs(), m_services.printers, m_questionnaire);
}
TemplateSelect *Program::templateSelect()
{
    return get<TemplateSelect>(int(WindowId::TemplateSelect), *this, dialogs(), m_questionnaire, m_services.shell,
                               m_backups);
}
BrowserWindow *Program::browser() { return get<BrowserWindow>(int(WindowId::Browser), *this, m_services.shell); }
ContentsWindow *Program::contents()
{
    return get<ContentsWindow>(int(WindowId::Contents), *this, m_questionnaire);
}
FindWindow *Program::findWindow() { return get<FindWindow>(int(WindowId::Find), *this, m_questionnaire); }

QuestionPage *Program::page(int number)
{
    if (QuestionPage *made = existingPage(number))
        return made;
    auto *page = get<QuestionPage>(kPageKey + number, *this, dialogs(), m_questionnaire, number,
                                   m_services.speller);
    connect(page, &QuestionPage::saveRequested, this,
            [this](QuestionPage *p) { saveWork(savedWork(), p, p->saveDialog()); });
    connect(page, &QuestionPage::saveAsRequested, this,
            [this](QuestionPage *p) { saveWorkAs(savedWork(), p, p->saveDialog()); });
    noteOn(page);
    return page;
}

QList<Window *> Program::everyWindow()
{
    QList<Window *> all = {registerUpdate(), registerForm(), std0(), example(), std11(), templateSelect(),
                           browser(), contents(), findWindow()};
    for (int n = 1; n <= kPageCount; ++n)
        all << page(n);
    return all;
}

Window *Program::showPage(int number)
{
    QuestionPage *shown = page(number);
    showWindow(shown);
    return shown;
}

void Program::showExample(int item)
{
    ExampleWindow *window = example();
    showWindow(window);
    window->setExample(catalogue().item(item).example);
}

void Program::hideExample()
{
    if (Window *window = existing(WindowId::Example))
        hideWindow(window);
}

Window *Program::showCompletion()
{
    // The pages are left for good: nothing may lead back to them.
    for (const WindowId id : {WindowId::Contents, WindowId::Find}) {
        if (Window *window = existing(id))
            hideWindow(window);
    }
    Std11 *window = std11();
    showWindow(window);
    return window;
}

void Program::showStartup()
{
    showWindow(registerUpdate());
}

void Program::showRegistration()
{
    showWindow(registerForm());
}

void Program::showStart(QWidget *leaving)
{
    Std0 *start = std0();
    showWindow(start);
    if (leaving)
        hideWindow(leaving);
    offerRecoveredWork(start);
}

void Program::showTemplates()
{
    showWindow(templateSelect());
}

void Program::showInBrowser(const QString &path)
{
    BrowserWindow *window = browser();
    showWindow(window);
    window->display(path);
}

void Program::showContents(int item)
{
    ContentsWindow *window = contents();
    showWindow(window);
    window->setCurrentItem(item);
}

void Program::showFind(const QString &text)
{
    FindWindow *window = findWindow();
    showWindow(window);
    window->lookFor(text);
}

void Program::findAgain(bool backward)
{
    auto *window = static_cast<FindWindow *>(existing(WindowId::Find));
    if (window && !window->query().isEmpty())
        window->find(backward);
    else
        showFind(QString());
}

QPlainTextEdit *Program::showItem(int item, Keyboard keyboard)
{
    QuestionPage *target = page(catalogue().item(item).page);
    hideExample();
    // Shown before the other goes, as Next does, so that some page is
    // always on screen. Where the keyboard stays, the window manager is
    // asked not to give it to the page either.
    const bool without = target->testAttribute(Qt::WA_ShowWithoutActivating);
    target->setAttribute(Qt::WA_ShowWithoutActivating, without || keyboard == Keyboard::Stays);
    showWindow(target);
    target->setAttribute(Qt::WA_ShowWithoutActivating, without);
    for (int n = 1; n <= kPageCount; ++n) {
        QuestionPage *other = existingPage(n);
        if (other && other != target && other->isVisible())
            hideWindow(other);
    }
    return target->showRequirement(item);
}

QPlainTextEdit *Program::currentResponse() const
{
    for (int n = 1; n <= kPageCount; ++n) {
        const QuestionPage *page = existingPage(n);
        if (page && page->isVisible())
            return page->responseBox(catalogue().item(page->currentItem()).responseBox);
    }
    return nullptr;
}

Window *Program::existing(WindowId id) const
{
    return m_windows.value(int(id));
}

QuestionPage *Program::existingPage(int number) const
{
    return static_cast<QuestionPage *>(m_windows.value(kPageKey + number).data());
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
    const int key = m_windows.key(window, -1);
    if (!window || m_closing.contains(window) || key < 0)
        return;
    m_closing.insert(window);
    window->Form_Unload();
    m_windows.remove(key);
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
    if (outer) {
        m_recovery->flush();
        // The program lets go of its work files.
        m_guard.releaseAll();
    }
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
    m_guard.releaseAll();
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

SavedWork Program::savedWork()
{
    return {dialogs(), m_questionnaire, m_backups, m_guard};
}

} // namespace brevant
