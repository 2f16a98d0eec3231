// The work-file reader on arbitrary bytes.
#include "core/catalogue.h"
#include "core/responsetext.h"
#include "core/workfileformat.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace brevant;

namespace {

// The separators, counted the plain way: left to right, a found one is
// skipped whole.
int countSeparators(const uint8_t *data, size_t size)
{
    int count = 0;
    size_t i = 0;
    while (i + 4 <= size) {
        if (std::memcmp(data + i, "%%%%", 4) == 0) {
            ++count;
            i += 4;
        } else {
            ++i;
        }
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const WorkFileContents contents = parseWorkFile(bytes);

    // Every separator cuts, wherever it stands; never more than 27
    // responses are kept.
    const int pieces = countSeparators(data, size) + 1;
    FUZZ_CHECK(contents.pieces == pieces);
    FUZZ_CHECK(contents.responses.size() == std::min(pieces, kItemCount));
    FUZZ_CHECK(contents.responses.size() <= kItemCount);

    // A short file is never taken for a complete one, so Load refuses it
    // before any box is touched.
    FUZZ_CHECK(contents.complete() == (pieces >= kItemCount));

    // Line breaks come out as '\n' only, and no response holds the
    // separator it was cut at.
    for (const QString &response : contents.responses) {
        FUZZ_CHECK(!response.contains(u'\r'));
        FUZZ_CHECK(!response.contains(QLatin1StringView(kSeparator)));
    }

    // What was loaded saves and loads back unchanged (a line or paragraph
    // separator of a UTF-8 file, a line break in the box, as '\n'), and a
    // second save writes the same bytes as the first.
    if (contents.complete()) {
        FUZZ_CHECK(itemsHoldingSeparator(contents.responses).isEmpty());
        const QByteArray saved = TextToFile(contents.responses);
        const WorkFileContents again = parseWorkFile(saved);
        FUZZ_CHECK(again.pieces == kItemCount);
        for (int k = 0; k < kItemCount; ++k)
            FUZZ_CHECK(again.responses.at(k) == withNewlines(contents.responses.at(k)));
        FUZZ_CHECK(TextToFile(again.responses) == saved);
    }
    return 0;
}
