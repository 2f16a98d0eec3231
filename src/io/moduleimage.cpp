#include "io/moduleimage.h"

#include <QFile>

#include <elf.h>
#include <link.h>

#include <cstring>

namespace brevant {

namespace {

// Whether [offset, offset + length) lies within a file of size bytes,
// without overflowing.
bool within(quint64 offset, quint64 length, quint64 size)
{
    return offset <= size && length <= size - offset;
}

// Bytes at offset of the file, or an empty array when it has fewer.
QByteArray readAt(QFile &file, quint64 offset, quint64 length)
{
    if (!file.seek(qint64(offset)))
        return QByteArray();
    QByteArray bytes = file.read(qint64(length));
    return quint64(bytes.size()) == length ? bytes : QByteArray();
}

// The GNU build-id among the notes of a PT_NOTE segment.
QByteArray buildIdIn(const QByteArray &notes)
{
    const auto align4 = [](quint64 n) { return (n + 3) & ~quint64(3); };
    quint64 at = 0;
    const auto size = quint64(notes.size());
    while (within(at, sizeof(ElfW(Nhdr)), size)) {
        ElfW(Nhdr) note;
        std::memcpy(&note, notes.constData() + at, sizeof note);
        const quint64 name = at + sizeof note;
        const quint64 desc = name + align4(note.n_namesz);
        if (!within(name, note.n_namesz, size) || !within(desc, note.n_descsz, size))
            break;
        if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4
            && std::memcmp(notes.constData() + name, "GNU", 4) == 0)
            return notes.mid(qsizetype(desc), qsizetype(note.n_descsz));
        at = desc + align4(note.n_descsz);
    }
    return QByteArray();
}

ModuleImage broken(const QString &reason)
{
    ModuleImage image;
    image.reason = reason;
    return image;
}

} // namespace

ModuleImage inspectModule(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return broken(file.errorString());
    const auto size = quint64(file.size());
    if (size == 0)
        return broken(QStringLiteral("is empty"));
    const QByteArray head = readAt(file, 0, sizeof(ElfW(Ehdr)));
    if (head.isEmpty() || !head.startsWith(ELFMAG))
        return broken(QStringLiteral("is not a library"));
    ElfW(Ehdr) header;
    std::memcpy(&header, head.constData(), sizeof header);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    constexpr unsigned char kOrder = ELFDATA2LSB;
#else
    constexpr unsigned char kOrder = ELFDATA2MSB;
#endif
    constexpr unsigned char kClass = sizeof(void *) == 8 ? ELFCLASS64 : ELFCLASS32;
    if (header.e_ident[EI_CLASS] != kClass || header.e_ident[EI_DATA] != kOrder || header.e_type != ET_DYN)
        return broken(QStringLiteral("is not a library for this computer"));
    if (header.e_phentsize != sizeof(ElfW(Phdr))
        || !within(header.e_phoff, quint64(header.e_phnum) * sizeof(ElfW(Phdr)), size)
        || (header.e_shoff != 0 && !within(header.e_shoff, quint64(header.e_shnum) * header.e_shentsize, size)))
        return broken(QStringLiteral("is damaged: it ends before its own tables (%1 bytes)").arg(size));

    const QByteArray table = readAt(file, header.e_phoff, quint64(header.e_phnum) * sizeof(ElfW(Phdr)));
    if (table.isEmpty())
        return broken(file.errorString());
    ModuleImage image;
    for (int i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment;
        std::memcpy(&segment, table.constData() + qsizetype(i) * qsizetype(sizeof segment), sizeof segment);
        if ((segment.p_type == PT_LOAD || segment.p_type == PT_NOTE || segment.p_type == PT_DYNAMIC)
            && !within(segment.p_offset, segment.p_filesz, size)) {
            return broken(QStringLiteral("is damaged: it is cut short (%1 bytes, a part of it runs to %2)")
                              .arg(size)
                              .arg(segment.p_offset + segment.p_filesz));
        }
        if (segment.p_type == PT_NOTE && image.buildId.isEmpty())
            image.buildId = buildIdIn(readAt(file, segment.p_offset, segment.p_filesz));
    }
    image.whole = true;
    return image;
}

} // namespace brevant
