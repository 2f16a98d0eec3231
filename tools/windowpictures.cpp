// Draws the program's windows as pictures: those the user guide shows, in
// the states it describes, with the first PDF page of the report in each
// design, and with --every-window every window as a user sees it on first
// use (scripts/screenshots.sh). The windows are the
// program's own, made through Program as at run time; each is grabbed
// offscreen and framed with a plain title bar that carries its caption,
// since an offscreen grab has no window decoration.
//
// Usage: brevant_windowpictures [--every-window] <output folder> <program folder>

#include "app/program.h"
#include "app/registerupdate.h"
#include "app/startup.h"
#include "app/std0.h"
#include "app/std11.h"
#include "app/wiring.h"
#include "core/catalogue.h"
#include "document/htmlreport.h"
#include "document/reportdocument.h"
#include "document/reportpicture.h"
#include "navigation/contentswindow.h"
#include "navigation/findwindow.h"
#include "questionnaire/examplewindow.h"
#include "questionnaire/questionpage.h"
#include "report/browserwindow.h"
#include "report/templateselect.h"
#include "updates/registerform.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace brevant;

constexpr int kTitleHeight = 26;

// The window drawn at twice its size, for sharp print, inside a frame
// with its caption.
QImage framed(QWidget *window)
{
    constexpr qreal scale = 2;
    QApplication::processEvents();
    // No text caret in the picture: the window itself takes the focus.
    window->setFocus();
    const QSize logical = window->size();
    const QSize outer(logical.width() + 2, logical.height() + kTitleHeight + 1);

    QImage image((QSizeF(outer) * scale).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(QColor(0x9a, 0xa3, 0xad));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF bar(1, 1, outer.width() - 2, kTitleHeight - 1);
    p.fillRect(bar, QColor(0xe4, 0xe8, 0xee));
    QFont titleFont(QStringLiteral("Liberation Sans"));
    titleFont.setPointSizeF(9.5);
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(QColor(0x2b, 0x33, 0x3d));
    p.drawText(bar.adjusted(10, 0, -70, 0), Qt::AlignVCenter | Qt::AlignLeft,
               window->windowTitle());

    // Minimise, maximise and close glyphs at the right of the bar.
    p.setPen(QPen(QColor(0x4a, 0x53, 0x5e), 1.4));
    const qreal cy = bar.center().y();
    const qreal right = bar.right() - 14;
    p.drawLine(QPointF(right - 6, cy - 5), QPointF(right + 4, cy + 5));
    p.drawLine(QPointF(right - 6, cy + 5), QPointF(right + 4, cy - 5));
    p.drawRect(QRectF(right - 30, cy - 5, 10, 10));
    p.drawLine(QPointF(right - 54, cy + 4), QPointF(right - 44, cy + 4));

    p.translate(1, kTitleHeight);
    window->render(&p, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    p.end();
    return image;
}

class Pictures {
public:
    explicit Pictures(const QString &folder) : m_folder(folder) {}

    void save(QWidget *window, const QString &name)
    {
        const QString path = m_folder + QLatin1Char('/') + name;
        if (!framed(window).save(path, "PNG")) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
            m_failed = true;
        }
    }
    void save(const QImage &image, const QString &name)
    {
        const QString path = m_folder + QLatin1Char('/') + name;
        if (image.isNull() || !image.save(path, "PNG")) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
            m_failed = true;
        }
    }
    void fail(const QString &why)
    {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        m_failed = true;
    }
    bool failed() const { return m_failed; }

private:
    QString m_folder;
    bool m_failed = false;
};

// Fills a page with the built-in example responses, as a department would.
void fillWithExamples(Program &program, int pageNumber)
{
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    for (const QuestionnaireItem *item : catalogue.itemsOfPage(pageNumber)) {
        program.responseBox(item->number)->setPlainText(item->example);
        if (item->hasAnswer())
            program.page(pageNumber)->answerBox(item->answerBox)->setCurrentText(QStringLiteral("Yes"));
    }
}

// The pictures of the user guide.
void guidePictures(Program &program, Pictures &pictures)
{
    program.start();
    pictures.save(program.registerUpdate(), QStringLiteral("startup.png"));

    RegisterForm *form = program.registerForm();
    program.showWindow(form);
    form->findChild<QLineEdit *>(QStringLiteral("nameText"))->setText(QStringLiteral("Department of History"));
    form->findChild<QLineEdit *>(QStringLiteral("email"))->setText(QStringLiteral("chair.history@example.edu"));
    form->findChild<QLineEdit *>(QStringLiteral("version"))->setText(QStringLiteral("1.0"));
    pictures.save(form, QStringLiteral("register.png"));
    program.hideWindow(form);

    program.showWindow(program.std0());
    pictures.save(program.std0(), QStringLiteral("start.png"));
    program.hideWindow(program.std0());

    // Page 1 as the user sees it after typing the first response.
    QuestionPage *page1 = program.page(1);
    fillWithExamples(program, 1);
    program.responseBox(2)->clear();
    program.showWindow(page1);
    pictures.save(page1, QStringLiteral("page1.png"));

    page1->showExample(2);
    pictures.save(program.example(), QStringLiteral("help.png"));
    program.hideWindow(program.example());
    program.hideWindow(page1);

    // The warning a page gives when it is left incomplete, here page 2 with
    // nothing typed yet; built the way the program's message boxes are.
    {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Exiting"),
                        QStringLiteral("Requirements are not met, Do you want to continue"),
                        QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setInformativeText(program.page(2)->incompleteRequirements().join(QLatin1Char('\n')));
        box.show();
        pictures.save(&box, QStringLiteral("warning.png"));
    }

    QuestionPage *page5 = program.page(5);
    fillWithExamples(program, 5);
    program.showWindow(page5);
    pictures.save(page5, QStringLiteral("page5.png"));
    program.hideWindow(page5);

    // The Contents and the Find and Replace window a few weeks in: pages 1
    // to 7 written, one requirement not met yet, a course code looked for.
    for (int p = 2; p <= 7; ++p) {
        if (p != 5)
            fillWithExamples(program, p);
    }
    program.page(7)->answerBox(QStringLiteral("no222b"))->setCurrentText(QStringLiteral("No"));
    program.showContents(1);
    pictures.save(program.contents(), QStringLiteral("contents.png"));
    program.hideWindow(program.contents());
    program.showFind(QStringLiteral("ART104"));
    program.findWindow()->find(false);
    pictures.save(program.findWindow(), QStringLiteral("find.png"));
    program.hideWindow(program.findWindow());
    for (int p = 1; p <= kPageCount; ++p)
        program.hideWindow(program.page(p));

    program.showWindow(program.std11());
    pictures.save(program.std11(), QStringLiteral("completion.png"));
    program.hideWindow(program.std11());

    TemplateSelect *templates = program.templateSelect();
    program.showWindow(templates);
    templates->findChild<QRadioButton *>(QStringLiteral("OM"))->setChecked(true);
    pictures.save(templates, QStringLiteral("templates.png"));
    program.hideWindow(templates);

    // The first page of the PDF in each design, on the example responses,
    // drawn by the PDF's own page painter. A4 and a fixed date, so that
    // every build draws the same pictures.
    DocumentOptions options;
    options.locale = QLocale::c();
    options.date = QDate(2026, 12, 8);
    for (const ReportDesign &design : reportDesigns()) {
        QByteArray templateBytes;
        QString error;
        if (!readReportTemplate(program.programPath(design.templatePath), &templateBytes, &error)) {
            pictures.fail(error);
            continue;
        }
        pictures.save(reportPagePicture(makeReport(templateBytes, exampleResponses()), options, 0, 600),
                      QStringLiteral("report-%1.png").arg(design.option));
    }
}

// Every window as a user first sees it, the example responses typed into
// the first page, named after the window.
void everyWindow(Program &program, Pictures &pictures)
{
    const QuestionnaireCatalogue &catalogue = QuestionnaireCatalogue::instance();
    for (int i = 1; i <= 4; ++i)
        program.responseBox(i)->setPlainText(catalogue.item(i).example);
    const auto save = [&](QWidget *w, const QString &name) {
        w->show();
        pictures.save(w, name + QStringLiteral(".png"));
        w->hide();
    };
    save(program.registerUpdate(), QStringLiteral("RegisterUpdate"));
    save(program.registerForm(), QStringLiteral("RegisterForm"));
    save(program.std0(), QStringLiteral("Std0"));
    for (int p = 1; p <= kPageCount; ++p)
        save(program.page(p), catalogue.page(p).window);
    program.example()->setExample(catalogue.item(4).example);
    save(program.example(), QStringLiteral("Example"));
    save(program.std11(), QStringLiteral("Std11"));
    save(program.templateSelect(), QStringLiteral("TemplateSelect"));
    program.browser()->display(program.programPath(QStringLiteral("/Templates/Template_Examples/Orange_Madness.htm")));
    save(program.browser(), QStringLiteral("browser"));
    save(program.contents(), QStringLiteral("Contents"));
    save(program.findWindow(), QStringLiteral("Find"));
}

} // namespace

using namespace brevant;

int main(int argc, char *argv[])
{
    const auto app = makeApplication(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool every = args.removeAll(QStringLiteral("--every-window")) > 0;
    if (args.size() != 2) {
        std::fputs("usage: brevant_windowpictures [--every-window] <output folder> <program folder>\n", stderr);
        return 2;
    }
    if (!QDir().mkpath(args.at(0))) {
        std::fprintf(stderr, "Cannot create %s\n", qPrintable(args.at(0)));
        return 1;
    }
    // The texts typed for the pictures are nobody's work to keep.
    QTemporaryDir data;
    PlatformServices platform;
    Services services = platform.services(args.at(1), data.path());
    // The pictures are the same on every machine, whatever dictionaries it has.
    services.speller = nullptr;
    Program program(services);
    Pictures pictures(args.at(0));
    if (every)
        everyWindow(program, pictures);
    else
        guidePictures(program, pictures);
    return pictures.failed() ? 1 : 0;
}
