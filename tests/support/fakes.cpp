#include "fakes.h"

#include "ui/qtservices.h"

namespace brevant::test {

FakeDialogs &FakeDialogs::expectMessage(const QString &text, const QString &title, Buttons buttons,
                                        Icon icon, Answer answer)
{
    Step s;
    s.kind = Step::Kind::Message;
    s.text = text;
    s.title = title;
    s.buttons = buttons;
    s.icon = icon;
    s.answer = answer;
    m_script.append(s);
    return *this;
}

FakeDialogs &FakeDialogs::expectAnyMessage(const QString &title, Buttons buttons, Answer answer)
{
    Step s;
    s.kind = Step::Kind::Message;
    s.matchText = false;
    s.title = title;
    s.buttons = buttons;
    s.answer = answer;
    m_script.append(s);
    return *this;
}

FakeDialogs &FakeDialogs::expectChoice(const QString &title, const QStringList &choices,
                                       const QString &chosen, const QString &text)
{
    Step s;
    s.kind = Step::Kind::Choice;
    s.title = title;
    s.choices = choices;
    s.chosen = int(choices.indexOf(chosen));
    s.text = text;
    s.matchText = !text.isNull();
    m_script.append(s);
    return *this;
}

FakeDialogs &FakeDialogs::expectSave(const QString &filter, const FileDialogOutcome &outcome,
                                     Overwrite overwrite)
{
    Step s;
    s.kind = Step::Kind::Save;
    s.filter = filter;
    s.outcome = outcome;
    s.overwrite = overwrite;
    m_script.append(s);
    return *this;
}

FakeDialogs &FakeDialogs::expectOpen(const QString &filter, const FileDialogOutcome &outcome)
{
    Step s;
    s.kind = Step::Kind::Open;
    s.filter = filter;
    s.outcome = outcome;
    m_script.append(s);
    return *this;
}

static QString show(const QString &s)
{
    return s.isNull() ? QStringLiteral("<default title>") : QLatin1Char('"') + s + QLatin1Char('"');
}

void FakeDialogs::shown(QWidget *parent, const QString &prompt, const QString &title, const QString &details)
{
    if (onDialog)
        onDialog();
    shownTexts << prompt;
    shownTitles << title;
    shownDetails << details;
    parents << parent;
}

Answer FakeDialogs::message(QWidget *parent, const QString &prompt, Buttons buttons, Icon icon,
                            const QString &title, const QString &details)
{
    shown(parent, prompt, title, details);
    if (m_script.isEmpty() || m_script.first().kind != Step::Kind::Message) {
        failures << QStringLiteral("unexpected message box %1 titled %2").arg(show(prompt), show(title));
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    const Step s = m_script.takeFirst();
    if (s.matchText && s.text != prompt)
        failures << QStringLiteral("message text %1, expected %2").arg(show(prompt), show(s.text));
    if (s.title.isNull() != title.isNull() || s.title != title)
        failures << QStringLiteral("message title %1, expected %2").arg(show(title), show(s.title));
    if (s.buttons != buttons)
        failures << QStringLiteral("message %1: wrong buttons").arg(show(prompt));
    if (s.matchText && s.icon != icon)
        failures << QStringLiteral("message %1: wrong icon").arg(show(prompt));
    return s.answer;
}

int FakeDialogs::choose(QWidget *parent, const QString &prompt, const QStringList &choices, Icon,
                        const QString &title, const QString &details)
{
    shown(parent, prompt, title, details);
    const int out = int(choices.size()) - 1;
    if (m_script.isEmpty() || m_script.first().kind != Step::Kind::Choice) {
        failures << QStringLiteral("unexpected question %1 titled %2").arg(show(prompt), show(title));
        return out;
    }
    const Step s = m_script.takeFirst();
    if (s.matchText && s.text != prompt)
        failures << QStringLiteral("question text %1, expected %2").arg(show(prompt), show(s.text));
    if (s.title != title)
        failures << QStringLiteral("question title %1, expected %2").arg(show(title), show(s.title));
    if (s.choices != choices) {
        failures << QStringLiteral("question %1: buttons %2, expected %3")
                        .arg(show(title), choices.join(u'|'), s.choices.join(u'|'));
        return out;
    }
    return s.chosen < 0 ? out : s.chosen;
}

FileDialogOutcome FakeDialogs::showSave(QWidget *parent, const QString &filter,
                                        const QString &fileName, Overwrite overwrite)
{
    if (onDialog)
        onDialog();
    parents << parent;
    initialNames << fileName;
    overwrites << overwrite;
    if (m_script.isEmpty() || m_script.first().kind != Step::Kind::Save) {
        failures << QStringLiteral("unexpected save dialog (filter %1)").arg(filter);
        return FileDialogOutcome::cancelled();
    }
    const Step s = m_script.takeFirst();
    if (s.filter != filter)
        failures << QStringLiteral("save dialog filter %1, expected %2").arg(filter, s.filter);
    if (s.overwrite != overwrite)
        failures << QStringLiteral("save dialog (filter %1) %2 before replacing a file")
                        .arg(filter, overwrite == Overwrite::Ask ? QStringLiteral("asks") : QStringLiteral("does not ask"));
    return s.outcome;
}

FileDialogOutcome FakeDialogs::showOpen(QWidget *parent, const QString &filter,
                                        const QString &fileName)
{
    if (onDialog)
        onDialog();
    parents << parent;
    initialNames << fileName;
    if (m_script.isEmpty() || m_script.first().kind != Step::Kind::Open) {
        failures << QStringLiteral("unexpected open dialog (filter %1)").arg(filter);
        return FileDialogOutcome::cancelled();
    }
    const Step s = m_script.takeFirst();
    if (s.filter != filter)
        failures << QStringLiteral("open dialog filter %1, expected %2").arg(filter, s.filter);
    return s.outcome;
}

void FakeDialogs::setBusy(bool busy)
{
    if (busy)
        ++busyOn;
    else
        ++busyOff;
    // The real busy pointer, so that what it dispatches (or does not) is
    // what the program's does.
    QtDialogs().setBusy(busy);
}

QStringList FakeDialogs::verify() const
{
    QStringList all = failures;
    for (const Step &s : m_script) {
        if (s.kind == Step::Kind::Message)
            all << QStringLiteral("expected message %1 was never shown").arg(show(s.text));
        else if (s.kind == Step::Kind::Choice)
            all << QStringLiteral("expected question %1 was never shown").arg(show(s.title));
        else
            all << QStringLiteral("expected file dialog (filter %1) was never shown").arg(s.filter);
    }
    return all;
}

void FakeDialogs::reset()
{
    *this = FakeDialogs();
}

std::unique_ptr<PrintSurface> FakePrinters::printerSurface(const QString &name)
{
    return make(QStringLiteral("printer:") + name);
}

std::unique_ptr<PrintSurface> FakePrinters::pdfSurface(const QString &path, QString *error)
{
    if (failAt == -2) {
        if (error)
            *error = kNoEngine;
        return nullptr;
    }
    return make(QStringLiteral("pdf:") + path);
}

std::unique_ptr<PrintSurface> FakePrinters::make(const QString &target)
{
    auto rec = std::make_shared<Recording>();
    rec->target = target;
    documents << rec;
    auto surface = std::make_unique<RecordingSurface>(rec);
    surface->width = 1e9;   // no wrapping: one line per call
    surface->failAt = failAt;
    return surface;
}

bool FakeShell::open(QWidget *, const QString &verb, const QString &target,
                     const QString &parameters, const QString &directory, int showCode)
{
    requests.append({verb, target, parameters, directory, showCode});
    return opens;
}

} // namespace brevant::test
