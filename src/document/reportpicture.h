#pragma once

#include "document/documentengine.h"
#include "document/reportdocument.h"

#include <QImage>

namespace brevant {

// A page of the report PDF (0 the first) drawn by the same layout, width
// pixels wide on a white ground; a null image when there is no such page
// (or the document engine cannot be loaded). For what shows pictures,
// which has Qt's images at hand.
inline QImage reportPagePicture(const Report &report, const DocumentOptions &options, int page, int width)
{
    const DocumentEngine *engine = documentEngine(nullptr);   // no page to show: the caller shows none
    return engine ? engine->pagePicture(report, options, documentSetup(options), page, width) : QImage();
}

} // namespace brevant
