// WrapLine on a surface with fixed measures: every character one unit wide,
// every line one unit high.
//
// Input: byte 0 gives the printable width (0..47), byte 1 the printable
// height (1..12), the rest is the text, one character per byte.
#include "document/wrapline.h"
#include "fuzzcheck.h"
#include "recordingsurface.h"

#include <cstdint>

using namespace brevant;

namespace {

// Checks that a new page is only ever started at the start of a line.
class PageCheckingSurface : public test::RecordingSurface {
public:
    bool newPage() override
    {
        FUZZ_CHECK(x == 0);
        return RecordingSurface::newPage();
    }
};

bool isSeparator(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    PageCheckingSurface surface;
    surface.width = data[0] % 48;
    surface.height = 1 + data[1] % 12;
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));

    FUZZ_CHECK(WrapLine(surface, text));
    const test::Recording &rec = *surface.rec;
    FUZZ_CHECK(rec.log.endsWith(u'/'));   // every call finishes its line

    // Every character is printed exactly once and in order: words and the
    // blanks and tabs between them. Only the line feeds (CR LF being one)
    // turn into line ends.
    QString expected = text;
    expected.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const qsizetype lineFeeds = expected.count(u'\n');
    expected.remove(u'\n');
    QString printed;
    for (const test::Recording::Line &line : rec.lines)
        printed += line.text;
    FUZZ_CHECK(printed == expected);
    FUZZ_CHECK(rec.lines.size() >= lineFeeds + 1);

    // No line is wider than the width, not counting the blanks after its
    // last word, unless it holds one word that is wider on its own.
    for (const test::Recording::Line &line : rec.lines) {
        qsizetype end = line.text.size();
        while (end > 0 && (line.text[end - 1] == u' ' || line.text[end - 1] == u'\t'))
            --end;
        const QStringView core = QStringView(line.text).left(end);
        if (core.size() <= surface.width)
            continue;
        for (QChar c : core)
            FUZZ_CHECK(!isSeparator(c));
    }

    return 0;
}
