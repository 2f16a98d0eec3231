#include "core/catalogue.h"

namespace brevant {

using namespace Qt::Literals::StringLiterals;

// The two tables leave out every member that keeps its default, which is the
// point of writing them this way; -Wextra would flag each omission.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

QuestionnaireCatalogue::QuestionnaireCatalogue()
{
    m_pages = {
        {.number = 1, .window = u"Std1"_s,
         .frames = {{u"Frame3"_s, u"5-1:0    A. DEPARTMENT DETERMINANTS"_s, {{u"Label3"_s, u"Departments shall be organized to offer a coherent grouping of majors and/or professional programs consistent with their mission. The number of faculty in a department shall be sufficient to adequately support the programs offered. The following represent minimum standards."_s}}},
                    {u"Frame2"_s, u"5-1:1 Minimum Department Size"_s},
                    {u"Frame1"_s, u"5-1:2 Minimum Number of Faculty per Major/Minor"_s}},
         .hasBack = false},
        {.number = 2, .window = u"Std2"_s,
         .frames = {{u"Frame1"_s, u"5-1:2 Minimum Number of Faculty per Major/Minor"_s},
                    {u"Frame2"_s, u"5-1:3 Faculty Expertise"_s}}},
        {.number = 3, .window = u"Std3"_s,
         .frames = {{u"Frame1"_s, u"5-1:4 Course Offerings"_s},
                    {u"Frame2"_s, u"5-2:1 Definition of Degrees"_s, {{u"Label5"_s, u"Dunvale University offers three types of baccalaureate degrees (Bachelor of Arts, Bachelor of Science and professional degrees) and associate degrees."_s}}}},
         .heading = {u"Label4"_s, u"5-2:0  B. DEGREE STRUCTURE"_s},
         .headingBeforeFrame = 1},
        {.number = 4, .window = u"Std4"_s,
         .frames = {{u"Frame1"_s, u"5-2:1  Definition of Degrees"_s},
                    {u"Frame2"_s, u"5-2:1  Definition of Degrees"_s},
                    {u"Frame3"_s, u"5-2:1  Definition of Degrees"_s}}},
        {.number = 5, .window = u"Std5"_s,
         .frames = {{u"Frame1"_s, u"5-2:2  Baccalaureate Degree Requirements"_s},
                    {u"Frame2"_s, u"5-2:2.1  a.  Bachelor of Arts/Bachelor of Science Degree Components"_s}}},
        {.number = 6, .window = u"std6"_s,
         .frames = {{u"Frame1"_s, u"5-2:2.1  a. Bachelor of Arts/Bachelor of Science Degree Components"_s}}},
        {.number = 7, .window = u"Std7"_s,
         .frames = {{u"Frame1"_s, u"5-2:2.2  b.  Restrictions for Bachelor of Arts/Bachelor of Science Degree Programs"_s},
                    {u"Frame2"_s, u"5-2:2.3  c.  Exceptions"_s}}},
        {.number = 8, .window = u"Std8"_s,
         .frames = {{u"Frame3"_s, u"5-2:2.4  d.  Professional Degree Components"_s}}},
        {.number = 9, .window = u"Std9"_s,
         .frames = {{u"Frame1"_s, u"5-2:2.4  d. Professional Degree Components"_s},
                    {u"Frame2"_s, u"5-2:3    3.  Associate Degree Requirements"_s, {{u"Label4"_s, u"An associate degree program shall consist of the following components for a minumum of 62 credits. "_s}}}}},
        {.number = 10, .window = u"Std10"_s,
         .frames = {{u"Frame1"_s, u"5-2:3  3.  Associate Degree Requirements"_s}},
         .nextCaption = u"Finish"_s},
    };
    // Every page window has the same caption but for its number.
    for (QuestionnairePage &page : m_pages)
        page.caption = u"Brevant Policies (Page %1 of %2)"_s.arg(page.number).arg(kPageCount);

    // The prompts above the response boxes: every item with a Yes/No
    // question asks for a detailed description; item 6's prompt has no colon.
    const QString describe = u"Type in a detailed description of how the requirement is met:"_s;
    const QString below = u"Type in your response below"_s;
    const QString belowColon = u"Type in your response below:"_s;
    // The example of items 9 and 22 to 26: the example department has no
    // associate degree.
    const QString noAssociateDegree = u"The Dezezova zo Rodozazodoze does not offer an Associate degree."_s;

    m_items = {
        {.number = 1, .page = 1, .frame = u"Frame2"_s,
         .statement = {u"Label1"_s, u"There must be atleast two FTE faculty members in a department. Atleast half of the courses offered by a department must be taught by full-time faculty of that department"_s},
         .answerBox = u"no1"_s, .answerPrompt = u"Label2"_s, .responseBox = u"desc1"_s, .responsePrompt = u"Label4"_s, .responsePromptText = describe, .helpLabel = u"Label5"_s, .headings = {u"Frame3"_s, u"Label3"_s, u"Frame2"_s, u"Label1"_s},
         .example = u"The Dezezova zo Rodozazodoze meets the two FTE faculty members requirement. There are 8 FTE faculty presently employed by the division. During the 2004-2005 academic year the full-time faculty taught 36 of the 40 total courses offered in Dezezova zo Rodozazodoze."_s},
        {.number = 2, .page = 1, .frame = u"Frame1"_s,
         .statement = {u"Label7"_s, u"a. There must be atleast two faculty available to a department for each major (or program) offered. Atleast one of these faculty must be full time (atleast 90%) member of the department. Where the same courses are used for more than one major the same faculty may be counted for both majors in proportion to the amount of course overlap."_s},
         .answerBox = u"no2a"_s, .answerPrompt = u"Label8"_s, .responseBox = u"desc2a"_s, .responsePrompt = u"Label9"_s, .responsePromptText = describe, .helpLabel = u"Label6"_s, .headings = {u"Frame1"_s, u"Label7"_s},
         .example = u"The Dezezova zo Rodozazodoze meets the requirements in the Major area. There are 8 FTE faculty presently employed by the division. Three degrees are offered: the Bachelor of Science in Architectural Studies (BSAS), the Bachelor of Science in Architecture (BSA) and the Master of Architecture (M Arch). All non-studio courses apply to the BSAS and the BSA degrees, while the upper division studio courses apply to the BSA and the M Arch degrees"_s},
        {.number = 3, .page = 2, .frame = u"Frame1"_s,
         .statement = {u"Label1"_s, u"b. There must be at least one faculty available to the department for each minor offered in a field of study in which a major is not offered. "_s},
         .answerBox = u"no2b"_s, .answerPrompt = u"Label2"_s, .responseBox = u"desc2b"_s, .responsePrompt = u"Label3"_s, .responsePromptText = describe, .helpLabel = u"Label7"_s, .headings = {u"Frame1"_s, u"Label1"_s},
         .example = u"The Dezezova zo Rodozazodoze meets the requirements in the Minor area. There are 10 FTE faculty positions and one minor degree is offered in Architectural studies."_s},
        {.number = 4, .page = 2, .frame = u"Frame2"_s,
         .statement = {u"Label4"_s, u"There must be at least one faculty with advanced course work and/or demonstrable experience with a given area in order to offer a major, minor and/or emphasis in that area. One faculty can be counted for a maximum of two areas of expertise."_s},
         .answerBox = u"no3"_s, .answerPrompt = u"Label5"_s, .responseBox = u"desc3"_s, .responsePrompt = u"Label6"_s, .responsePromptText = describe, .helpLabel = u"Label8"_s, .headings = {u"Frame2"_s, u"Label4"_s},
         .example = u"The dezezova zo Rodozazodoze meets the requirements in the area of faculty expertise. There are 10 faculty positions; the faculty hold professional and post-professional degrees in architecture, and four of them are licensed architects. \\n Administration and Faculty: \\n Marovo Tizelu, Director \\n Quenava Dorostu, Assistant Director \\n Adjuct Faculty: \\n Pelino Varastuk, adjunct instructor for the art course ART104 Introduction to Drawing and Sketching"_s},
        {.number = 5, .page = 3, .frame = u"Frame1"_s,
         .statement = {u"Label1"_s, u"A department may offer courses that are approved for general education, degree core, service courses required for other programs, and courses for its major/minor (or program). The number of credits in courses listed in the bulletin by the department for its majors/minors shall be limited to135% of the number of departmental credits required for the majors/minors. Courses common to multiple majors/minors shall be counted only once."_s},
         .answerBox = u"no4"_s, .answerPrompt = u"Label2"_s, .responseBox = u"desc4"_s, .scrollBar = false, .responsePrompt = u"Label3"_s, .responsePromptText = describe, .helpLabel = u"Label8"_s, .headings = {u"Frame1"_s, u"Label1"_s},
         .example = u"The Dezezova zo Rodozazodoze meets the requirements in the area of course offerings. The division lists 102 departmental credits in the bulletin against 89 credits required for its degrees, which is 114.6% of the required credits and well within the limit of 135%. The course offerings are based on the accreditation requirements of the NAAB, which set the content of the professional degree. Three topics courses are listed so that current subjects can be taught without new course numbers: ARCH390 Topics in Architectural History, ARCH490 Topics in Building Technology and ARCH590 Topics in Architectural Design and Urbanism in the city."_s},
        {.number = 6, .page = 3, .frame = u"Frame2"_s,
         .statement = {u"Label6"_s, u"a.  A Bachelor of Arts (BA) degree is conferred upon a student who completes requirements at the baccalaureate level in the arts, humanities and related areas."_s},
         .responseBox = u"desc21a"_s, .responsePrompt = u"Label7"_s, .responsePromptText = below, .helpLabel = u"Label9"_s, .headings = {u"Label4"_s, u"Frame2"_s, u"Label5"_s, u"Label6"_s},
         .example = u"The Dezezova zo Rodozazodoze does not offer a Bachelor or Arts (BA) degree"_s},
        {.number = 7, .page = 4, .frame = u"Frame1"_s,
         .statement = {u"Label1"_s, u"b. A bachelor of Science (BS) degree  is conferred upon a student who completes requirements at the baccalaureate level in the sciences, applied sciences and related areas."_s},
         .responseBox = u"desc21b"_s, .responsePrompt = u"Label2"_s, .responsePromptText = belowColon, .helpLabel = u"Label7"_s, .headings = {u"Frame1"_s, u"Label1"_s},
         .example = u"The Dezezova zo Rodozazodoze offers the following BS degree: the non-professional Bachelor of Science in Architectural Studies (BSAS) degree."_s},
        {.number = 8, .page = 4, .frame = u"Frame2"_s,
         .statement = {u"Label3"_s, u"c.  Professional degrees (Bachelor of Science in ___________________, or Bachelor of ____________,) are conferred upon a student who completes requirements at the baccalaureate level in the professional programs."_s},
         .responseBox = u"desc21c"_s, .responsePrompt = u"Label4"_s, .responsePromptText = belowColon, .helpLabel = u"Label8"_s, .headings = {u"Frame2"_s, u"Label3"_s},
         .example = u"The Dezezova zo Rodozazodoze offers the following baccalaureate degree: the Bachelor of Science in Architecture (BSA) degree is the professional degree track for and a requirement of the Master of Architecture degree."_s},
        {.number = 9, .page = 4, .frame = u"Frame3"_s,
         .statement = {u"Label5"_s, u"d.  Associate degrees are awarded to students who complete two-year general studies or para-professional programs."_s},
         .responseBox = u"desc21d"_s, .responsePrompt = u"Label6"_s, .responsePromptText = belowColon, .helpLabel = u"Label9"_s, .headings = {u"Frame3"_s, u"Label5"_s},
         .example = noAssociateDegree},
        {.number = 10, .page = 5, .frame = u"Frame1"_s,
         .statement = {u"Label1"_s, u"A baccalaureate degree program shall consist of the following components for a minimum of 124 credits."_s},
         .answerBox = u"no22"_s, .answerPrompt = u"Label2"_s, .responseBox = u"desc22"_s, .responsePrompt = u"Label3"_s, .responsePromptText = describe, .helpLabel = u"Label10"_s, .headings = {u"Frame1"_s, u"Label1"_s},
         .example = u"The Dezezova zo Rodozazodoze's baccalaureate degrees consist of the following components with the following credits per degree: The Bachelor of Science in Architectural Studies (BSAS) requires 37 credits in the major, made up of the major core, major electives and cognates. The professional degree track Bachelor of Science in Architecture (BSA) requires 89 credits in the major, as set by the accreditation requirements of the NAAB. The professional Master of Architecture (M Arch) requires 31 credits beyond the BSA degree. The Minor in Architectural Studies requires 22 credits. Every degree also includes the University's General Education requirements and electives."_s},
        {.number = 11, .page = 5, .frame = u"Frame2"_s,
         .statement = {u"Label4"_s, u"i.  General Education: As formulated by the General Education Commitee and approved by the Undergraduate Council. If a program is specifically accredited or certified, the requirements of the accreditation/certification body must be considered in establishing general education requirements for that program."_s},
         .answerBox = u"no221aed"_s, .answerPrompt = u"Label5"_s, .responseBox = u"desc221aed"_s, .responsePrompt = u"Label6"_s, .responsePromptText = describe, .helpLabel = u"Label11"_s, .headings = {u"Frame2"_s, u"Label4"_s},
         .example = u"The degrees offered in the Dezezova zo Rodozazodoze follow the General Education requirements. The Bachelor of Science in Architectural Studies (BSAS) degree follows the University's General Education program as it stands. The Bachelor of Science in Architecture (BSA) degree General Education requirements total 43 or 46 credits (because of the Computer Tools requirement that students meet by a course."_s},
        {.number = 12, .page = 5, .frame = u"Frame2"_s,
         .statement = {u"Label7"_s, u"i.  A Major: A BA/BSmajor shall consist of a specified set of courses ranging from 30 to 40 credits taken within a single field of study. An interdisciplinary major which combines courses from two or more fields of study may not exceed 60 credits, with a maximum of 40 credits coming from any any one field of study. It is recommended that at least 35% of its course work be reserved for electives in the major."_s},
         .answerBox = u"no221amajor"_s, .answerPrompt = u"Label8"_s, .responseBox = u"desc221amajor"_s, .responsePrompt = u"Label9"_s, .responsePromptText = describe, .helpLabel = u"Label12"_s, .headings = {u"Label7"_s},
         .example = u"The professional degree track Bachelor of Science in Architecture (BSA) degree, offered in the Dezezova zo Rodozazodoze. follows the requirement established by the NAAB. The BSA degree consists of 82 credits of major core, 7 elective credits, 46 credits of General Education and 3 cognate credits. The Bachelor of Science in Architectural Studies (BSAS) degree consists of 16 credits of major core, 21 elective credits in the major and 6 cognate credits, chosen with an advisor."_s},
        {.number = 13, .page = 6, .frame = u"Frame1"_s,
         .statement = {u"Label1"_s, u"i.  A Minor: AMinor is not required. However, minors may be required for specific majors or programs, A minor shall consist of a specific set of courses taken within a field of study consisting of 20 to 22 credits. A minor used for teacher certification that includes courses from more than one field of study shall consist of 20 to 24 credits with no more than 20 credits from a single field of study."_s},
         .answerBox = u"no221aminor"_s, .answerPrompt = u"Label2"_s, .responseBox = u"desc221aminor"_s, .responsePrompt = u"Label3"_s, .responsePromptText = describe, .helpLabel = u"Label9"_s, .headings = {u"Frame1"_s, u"Label1"_s},
         .example = u"The Dezezova zo Rodozazodoze's Minor in Architectural Studies degree requirements is 22 credits. It requires ARCH126, 150, 215; plus 12 additional credits with a minimum of 6 upper division credits from courses with ARCH acronyms. "_s},
        {.number = 14, .page = 6, .frame = u"Frame1"_s,
         .statement = {u"Label4"_s, u"i.  Cognate Courses, if required by the major"_s},
         .answerBox = u"no221acog"_s, .answerPrompt = u"Label5"_s, .responseBox = u"desc221acog"_s, .responsePrompt = u"Label6"_s, .responsePromptText = describe, .helpLabel = u"Label10"_s, .headings = {u"Label4"_s},
         .example = u"The professional degree track Bachelor of Science in Architecture (BSA) degree requires one 3 credit cognate (ART104 Introduction to Drawing) to complete the degree. The Bachelor of Science in Architectural Studies (BSAS) cognate requirement is 6 credits (ART104 Introduction to Drawing and ART207 Basic Design I), both taken in the first two years of study."_s},
        {.number = 15, .page = 6, .frame = u"Frame1"_s,
         .statement = {u"Label7"_s, u"i.  General Electives"_s},
         .responseBox = u"desc221ielectives"_s, .responsePrompt = u"Label8"_s, .responsePromptText = belowColon, .helpLabel = u"Label11"_s, .headings = {u"Label7"_s},
         .example = u"The Professional degree track Bachelor of Science in Architecture (BSA) degree requires 7 elective credits to complete the degree. These electives usually come from Architecture electives but there are electives that can be taken in other departments."_s},
        {.number = 16, .page = 7, .frame = u"Frame1"_s,
         .statement = {u"Label1"_s, u"Departments shall not require major, minor and/or cognate requirements in excess of 66 credits"_s},
         .answerBox = u"no222b"_s, .answerPrompt = u"Label2"_s, .responseBox = u"desc222b"_s, .responsePrompt = u"Label3"_s, .responsePromptText = describe, .helpLabel = u"Label7"_s, .headings = {u"Frame1"_s, u"Label1"_s},
         .example = u"The Bachelor of Science in Architectural Studies degree is 37 credits. Because of the professional requirements for accreditation the Bachelor of Science in Architecture degree is required to be 89 credits."_s},
        {.number = 17, .page = 7, .frame = u"Frame2"_s,
         .statement = {u"Label4"_s, u"The restriction on the maximum number of credits, that can be required for a major and the total number of credits required for major, minor and/or cognates combined, may be exceeded only where certification, licensure, professional accreditation or established standards of practice clearly make it necessary."_s},
         .answerBox = u"no223c"_s, .answerPrompt = u"Label5"_s, .responseBox = u"desc223c"_s, .responsePrompt = u"Label6"_s, .responsePromptText = describe, .helpLabel = u"Label8"_s, .headings = {u"Frame2"_s, u"Label4"_s},
         .example = u"The Dezezova zo Rodozazodoze's Professional degree track Bachelor of Science in Architecture degree claims the exception because of the requirements established by the NAAB."_s},
        {.number = 18, .page = 8, .frame = u"Frame3"_s,
         .statement = {u"Label7"_s, u"i.  General Education:  As approved by the General Education Commitee and the relevant professional degree council or school courses and curricula commitee/faculty. If a program is specifically accredited or certified, the requirements of the accreditation/certification body must be considered in establishing general education requirements for that program. "_s},
         .answerBox = u"no224di"_s, .answerPrompt = u"Label8"_s, .responseBox = u"desc224di"_s, .responsePrompt = u"Label9"_s, .responsePromptText = describe, .helpLabel = u"Label10"_s, .headings = {u"Frame3"_s, u"Label7"_s},
         .example = u"The Professional Degree Requirements for the Bachelor of Science in Architecture (BSA) degree as noted in the University Bulletin. The BSA degree General Education requirements total 43 or 46 credits (because of the Computer Tools requirement)."_s},
        {.number = 19, .page = 8, .frame = u"Frame3"_s,
         .statement = {u"Label1"_s, u"ii.  One of the following:  i) Professional program requirements, or ii) A professional degree core with majors"_s},
         .answerBox = u"no224dii"_s, .answerPrompt = u"Label2"_s, .responseBox = u"desc224dii"_s, .responsePrompt = u"Label3"_s, .responsePromptText = describe, .helpLabel = u"Label11"_s, .headings = {u"Label1"_s},
         .example = u"The Dezezova zo Rodozazodoze Professional degree track Bachelor of Science in Architecture degree follows the requirements established by NAAB."_s},
        {.number = 20, .page = 8, .frame = u"Frame3"_s,
         .statement = {u"Label4"_s, u"iii.  Cognates may be required"_s},
         .answerBox = u"no224diii"_s, .answerPrompt = u"Label5"_s, .responseBox = u"desc224diii"_s, .responsePrompt = u"Label6"_s, .responsePromptText = describe, .helpLabel = u"Label12"_s, .headings = {u"Label4"_s},
         .example = u"The Professional degree track Bachelor of Science in Architecture degree requires one 3 credit cognate (ART104 Introduction to Drawing) to complete the degree."_s},
        {.number = 21, .page = 9, .frame = u"Frame1"_s,
         .statement = {u"Label1"_s, u"iv.  General Electives"_s},
         .answerBox = u"no224div"_s, .answerPrompt = u"Label2"_s, .responseBox = u"desc224div"_s, .responsePrompt = u"Label3"_s, .responsePromptText = describe, .helpLabel = u"Label8"_s, .headings = {u"Frame1"_s, u"Label1"_s},
         .example = u"The Professional degree track Bachelor of Science in Architecture degree requires 7 elective credits to complete the degree. These electives usually come from Architecture electives but there are electives that can be taken in other departments."_s},
        {.number = 22, .page = 9, .frame = u"Frame2"_s,
         .statement = {u"Label5"_s, u"i. General Education:  As formulated by the General Education Commitee and approved by the Undergraduate Council for the Associate of Arts and Associate of Science degrees. Requirements for other associate degrees are approved by the General Education Commitee and the relevant school courses and curricula commitee/faculty."_s},
         .responseBox = u"desc23i"_s, .helpLabel = u"Label9"_s, .headings = {u"Frame2"_s, u"Label4"_s, u"Label5"_s},
         .example = noAssociateDegree},
        {.number = 23, .page = 9, .frame = u"Frame2"_s,
         .statement = {u"Label6"_s, u"ii.  A Degree Core may be required."_s},
         .responseBox = u"desc23ii"_s, .helpLabel = u"Label10"_s, .headings = {u"Label6"_s},
         .example = noAssociateDegree},
        {.number = 24, .page = 9, .frame = u"Frame2"_s,
         .statement = {u"Label7"_s, u"iii.  A Major or Area of Emphasis (If a major is used, it shall consist of a minimum of 27 credits)"_s},
         .responseBox = u"desc23iii"_s, .helpLabel = u"Label11"_s, .headings = {u"Label7"_s},
         .example = noAssociateDegree},
        {.number = 25, .page = 10, .frame = u"Frame1"_s,
         .statement = {u"Label1"_s, u"iv.  Congate Courses may be required."_s},
         .responseBox = u"desc23iv"_s, .helpLabel = u"Label4"_s, .headings = {u"Frame1"_s, u"Label1"_s},
         .example = noAssociateDegree},
        {.number = 26, .page = 10, .frame = u"Frame1"_s,
         .statement = {u"Label2"_s, u"v.  General Electives"_s},
         .responseBox = u"desc23v"_s, .helpLabel = u"Label5"_s, .headings = {u"Label2"_s},
         .example = noAssociateDegree},
        {.number = 27, .page = 10, .frame = u"Frame1"_s,
         .statement = {u"Label3"_s, u"Standard = 24 credits/FTE faculty"_s},
         .responseBox = u"desc23std"_s, .helpLabel = u"Label6"_s, .headings = {u"Label3"_s},
         .example = u"It is Dezezova zo Rodozazodoze's understanding that the University's ideal goal is to have a ratio of 24 credits/FTE faculty. The division has chosen to make the quality of its degrees, rather than the credits/FTE ratio, the focus of its curriculum. The professional accreditation of the NAAB asks for small studio sections and close supervision of student work, and the division believes its students are best served by these standards where the ratio is lower........"_s}
    };
    Q_ASSERT(m_pages.size() == kPageCount && m_items.size() == kItemCount);
}

#pragma GCC diagnostic pop

const QuestionnaireCatalogue &QuestionnaireCatalogue::instance()
{
    static const QuestionnaireCatalogue catalogue;
    return catalogue;
}

QList<const QuestionnaireItem *> QuestionnaireCatalogue::itemsOfPage(int page) const
{
    QList<const QuestionnaireItem *> result;
    for (const QuestionnaireItem &item : m_items) {
        if (item.page == page)
            result.append(&item);
    }
    return result;
}

QString QuestionnaireCatalogue::controlText(int page, const QString &control) const
{
    const QuestionnairePage &p = this->page(page);
    if (p.heading.name == control)
        return p.heading.text;
    for (const PageFrame &frame : p.frames) {
        if (frame.name == control)
            return frame.caption;
        for (const LabelText &label : frame.intro) {
            if (label.name == control)
                return label.text;
        }
    }
    for (const QuestionnaireItem *item : itemsOfPage(page)) {
        if (item->statement.name == control)
            return item->statement.text;
    }
    return QString();
}

QStringList QuestionnaireCatalogue::headingTexts(int item) const
{
    const QuestionnaireItem &it = this->item(item);
    QStringList texts;
    for (const QString &control : it.headings)
        texts << controlText(it.page, control);
    return texts;
}

QString requirementName(const QuestionnaireItem &item)
{
    // The start of the statement, as the page shows it, cut at a word.
    constexpr qsizetype kMost = 60;
    const QString statement = item.statement.text.simplified();
    if (statement.size() <= kMost)
        return statement;
    qsizetype cut = statement.lastIndexOf(QLatin1Char(' '), kMost);
    if (cut <= 0)
        cut = kMost;
    return statement.left(cut) + QChar(0x2026);
}

QString sectionCode(const QuestionnaireItem &item)
{
    const QString caption = QuestionnaireCatalogue::instance().controlText(item.page, item.frame).trimmed();
    // The caption's first word: "5-2:2.1  a.  Bachelor of Arts..."
    return caption.section(u' ', 0, 0, QString::SectionSkipEmpty);
}

QString QuestionnaireCatalogue::answerPromptText(int page)
{
    return page <= 3 ? u"Are the requirements met?"_s : u"Is the requirement met?"_s;
}

QString applicationTitle()
{
    return QStringLiteral("Brevant Policies");
}

} // namespace brevant
