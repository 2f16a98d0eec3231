#pragma once

#include "questionnaire/catalogue.h"
#include "workfile/workfileformat.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <array>
#include <optional>

class QTextDocument;

namespace brevant {

class Program;

// The responses in the forms the files store them, made from a response
// box's text once for each change of that text. A Save after an edit of
// one box encodes that box only; the rest comes from here.
class ResponseCache : public QObject {
    Q_OBJECT
public:
    // The cache of this program, made on first use.
    static ResponseCache &of(Program &program);

    // Item 1..27 as the work file stores it.
    const EncodedResponse &workFile(int item);
    // Item 1..27 in the HTML report's page form, encoded.
    const QByteArray &html(int item);

private:
    explicit ResponseCache(Program &program);

    struct Entry {
        QPointer<QTextDocument> document;
        QMetaObject::Connection watch;
        bool current = false;
        EncodedResponse workFile;
        std::optional<QByteArray> html;
    };
    // The entry of an item, made again if its box's text has changed.
    Entry &entry(int item);

    Program &m_program;
    std::array<Entry, kItemCount> m_entries;
};

} // namespace brevant
