#include "document/documentengine.h"

#include "io/moduleimage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <link.h>

#include <vector>

namespace brevant {

// The build-id of the engine built with this program, recorded by the build
// (brevant_record_build_id).
extern const char kEngineBuildId[];

namespace {

using namespace Qt::Literals::StringLiterals;

struct Loaded {
    const DocumentEngine *engine = nullptr;
    QString error;
};

QString notLoaded(const QString &why)
{
    return u"The document engine %1 could not be loaded: %2."_s.arg(QLatin1StringView(kDocumentModule), why);
}

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

// The module at path, when it is the one built with the program; else
// null with the reason.
Loaded loadFrom(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const ModuleImage image = inspectModule(path);
    if (!image.whole)
        return {nullptr, notLoaded(u"the file %1 %2"_s.arg(shown, image.reason))};
    if (image.buildId.toHex() != QByteArray(kEngineBuildId))
        return {nullptr, notLoaded(u"the file %1 is not the one built with this program (another version or "
                                   "build); install the program again"_s.arg(shown))};
    void *module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char *why = dlerror();
        return {nullptr, notLoaded(why ? QString::fromLocal8Bit(why) : shown)};
    }
    // Never unloaded: Pango and its libraries keep state for the process.
    const auto entry = reinterpret_cast<DocumentEntry>(dlsym(module, kDocumentEntry));
    const DocumentEngine *engine = entry ? entry(kDocumentEngineVersion) : nullptr;
    if (!engine || engine->version != kDocumentEngineVersion || engine->size != sizeof(DocumentEngine)) {
        return {nullptr, notLoaded(u"the file %1 offers another version of its interface than this program "
                                   "needs (%2)"_s.arg(shown).arg(kDocumentEngineVersion))};
    }
    return {engine, QString()};
}

Loaded load()
{
    const QStringList folders = documentEngineFolders();
    Loaded first;
    for (const QString &folder : folders) {
        const QString path = folder + u'/' + QLatin1StringView(kDocumentModule);
        if (!QFileInfo::exists(path))
            continue;
        Loaded loaded = loadFrom(path);
        if (loaded.engine)
            return loaded;
        // A stale copy on the way is passed over for the right one; when
        // there is none, the first one found says why.
        if (first.error.isEmpty())
            first = loaded;
    }
    if (!first.error.isEmpty())
        return first;
    QStringList shown;
    for (const QString &folder : folders)
        shown << QDir::toNativeSeparators(folder);
    return {nullptr, notLoaded(u"it is in none of the folders the program looks in (%1)"_s.arg(shown.join(u", "_s)))};
}

} // namespace

QStringList documentEngineFolders()
{
    // Beside the program, where it is installed; then where the linker
    // would look for the executable's libraries.
    QStringList folders;
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath();
    for (const QString &folder : libraryFolders()) {
        if (!folders.contains(folder))
            folders << folder;
    }
    return folders;
}

const DocumentEngine *documentEngine(QString *error)
{
    static const Loaded loaded = load();
    if (!loaded.engine && error)
        *error = loaded.error;
    return loaded.engine;
}

} // namespace brevant
