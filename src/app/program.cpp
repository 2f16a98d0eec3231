#include "app/program.h"

#include "app/registerupdate.h"
#include "app/std0.h"
#include "app/std11.h"
#include "questionnaire/catalogue.h"
#include "questionnaire/examplewindow.h"
#include "questionnaire/questionpage.h"
#include "report/browserwindow.h"
#include "report/templateselect.h"
#include "updates/registerform.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace brevant {

Program::Program(const Services &services) : m_services(services) {}

Program::~Program()
{
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
    auto *window = new T(*this, std::forward<Args>(args)...);
    adopt(window);
    return window;
}

void Program::adopt(Window *window)
{
    m_windows.insert(window->objectName(), window);
    window->Form_Load();
    emit windowCreated(window);
}

RegisterUpdate *Program::registerUpdate() { return get<RegisterUpdate>(QStringLiteral("RegisterUpdate")); }
RegisterForm *Program::registerForm() { return get<RegisterForm>(QStringLiteral("RegisterForm")); }
Std0 *Program::std0() { return get<Std0>(QStringLiteral("Std0")); }
ExampleWindow *Program::example() { return get<ExampleWindow>(QStringLiteral("Example")); }
Std11 *Program::std11() { return get<Std11>(QStringLiteral("Std11")); }
TemplateSelect *Program::templateSelect() { return get<TemplateSelect>(QStringLiteral("TemplateSelect")); }
BrowserWindow *Program::browser() { return get<BrowserWindow>(QStringLiteral("browser")); }

QuestionPage *Program::page(int number)
{
    const QString name = QuestionnaireCatalogue::instance().page(number).window;
    return get<QuestionPage>(name, number);
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
    window->activateWindow();
}

void Program::hideWindow(QWidget *window)
{
    window->hide();
}

void Program::hideExample()
{
    if (Window *w = existing(QStringLiteral("Example")))
        w->hide();
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
        emit programEnded();
        m_services.lifetime->lastWindowClosed();
    }
}

void Program::closeAll(bool workFileStep)
{
    // Work files are written whole within each Save, so nothing is held
    // open between commands and the work-file step has nothing to close.
    Q_UNUSED(workFileStep);
    const bool outer = !m_closingAll;
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
    for (Window *w : windows())
        w->hide();
    emit programEnded();
    m_services.lifetime->endProgram();
}

QPlainTextEdit *Program::responseBox(int item)
{
    const QuestionnaireItem &it = QuestionnaireCatalogue::instance().item(item);
    return page(it.page)->responseBox(it.responseBox);
}

QStringList Program::responses()
{
    QStringList texts;
    texts.reserve(kItemCount);
    for (int i = 1; i <= kItemCount; ++i) {
        // The text exactly as typed: toPlainText() would turn no-break
        // spaces into spaces. Line breaks come back as '\n'.
        QString text = responseBox(i)->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        texts << text;
    }
    return texts;
}

void Program::setResponses(const QStringList &texts)
{
    for (int i = 1; i <= kItemCount && i <= texts.size(); ++i)
        responseBox(i)->setPlainText(texts.at(i - 1));
}

QString Program::programPath(const QString &relative) const
{
    return m_services.programFolder + relative;
}

} // namespace brevant
