#include "report/documentengine.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <link.h>

#include <vector>

namespace brevant {

namespace {

struct Loaded {
    const DocumentEngine *engine = nullptr;
    QString error;
};

// The folders the dynamic linker searches for the executable's own
// libraries (its run path first): the tests and tools, built apart from
// the program folder, name it there. Searched by hand, as a dlopen by name
// searches the run path of its caller, which a sanitizer's runtime stands
// in for.
QStringList libraryFolders()
{
    QStringList folders;
    void *self = dlopen(nullptr, RTLD_LAZY);
    Dl_serinfo size;
    if (!self || dlinfo(self, RTLD_DI_SERINFOSIZE, &size) != 0)
        return folders;
    std::vector<char> buffer(size.dls_size);
    auto *info = reinterpret_cast<Dl_serinfo *>(buffer.data());
    *info = size;
    if (dlinfo(self, RTLD_DI_SERINFO, info) != 0)
        return folders;
    for (unsigned i = 0; i < info->dls_cnt; ++i)
        folders << QFile::decodeName(info->dls_serpath[i].dls_name);
    return folders;
}

Loaded load()
{
    // Beside the program, where it is installed; then where the linker
    // would look for the executable's libraries.
    QStringList folders;
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath();
    folders << libraryFolders();
    void *module = nullptr;
    for (const QString &folder : std::as_const(folders)) {
        const QString path = folder + u'/' + QLatin1StringView(kDocumentModule);
        if (QFileInfo::exists(path) && (module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL)))
            break;
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
