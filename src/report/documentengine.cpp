#include "report/documentengine.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace brevant {

namespace {

struct Loaded {
    const DocumentEngine *engine = nullptr;
    QString error;
};

Loaded load()
{
    void *module = nullptr;
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + u'/' + QLatin1StringView(kDocumentModule);
        if (QFileInfo::exists(beside))
            module = dlopen(QFile::encodeName(beside).constData(), RTLD_NOW | RTLD_LOCAL);
    }
    if (!module)
        module = dlopen(kDocumentModule, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char *why = dlerror();
        return {nullptr, QStringLiteral("A part of the program is missing or damaged (%1).")
                             .arg(why ? QString::fromLocal8Bit(why) : QLatin1StringView(kDocumentModule))};
    }
    // Never unloaded: Pango and its libraries keep state for the process.
    const auto entry = reinterpret_cast<DocumentEntry>(dlsym(module, kDocumentEntry));
    const DocumentEngine *engine = entry ? entry() : nullptr;
    if (!engine) {
        return {nullptr, QStringLiteral("A part of the program is damaged (%1).")
                             .arg(QLatin1StringView(kDocumentModule))};
    }
    return {engine, QString()};
}

} // namespace

const DocumentEngine *documentEngine(QString *error)
{
    static const Loaded loaded = load();
    if (!loaded.engine && error)
        *error = loaded.error;
    return loaded.engine;
}

} // namespace brevant
