#include "engine/odtmend.h"

#include "engine/ziparchive.h"

#include <cstring>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

QByteArray withoutTabsBeforeLineBreaks(const QByteArray &odt, const QDateTime &made, QString *error)
{
    ZipArchive zip(odt);
    zip.setTime(made);
    const std::optional<QByteArray> content = zip.read(u"content.xml"_s);
    if (!content) {
        if (error)
            *error = zip.errorString();
        return QByteArray();
    }
    // The writer's indentation: a line feed and the blanks after it. No
    // text of the document holds a line feed (its line breaks are
    // elements, and attributes escape them), so every one is indentation.
    QByteArray mended;
    mended.reserve(content->size());
    const char *p = content->constData();
    const char *const end = p + content->size();
    while (p < end) {
        const char *feed = static_cast<const char *>(memchr(p, '\n', size_t(end - p)));
        if (!feed) {
            mended.append(p, end - p);
            break;
        }
        mended.append(p, feed - p);
        p = feed + 1;
        while (p < end && *p == ' ')
            ++p;
    }
    // The writer's tab before each line break; a tab typed before it stays.
    mended.replace("<text:tab/><text:line-break/>", "<text:line-break/>");
    QByteArray bytes;
    if (zip.put(u"content.xml"_s, mended))
        bytes = zip.finish();
    if (bytes.isEmpty() && error)
        *error = zip.errorString();
    return bytes;
}

} // namespace brevant
