#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace brevant {

// A table for a spreadsheet: a header row and rows of cells, each a text
// or a whole number.
struct TableCell {
    QString text;
    std::optional<qint64> number;

    static TableCell of(const QString &text) { return {text, std::nullopt}; }
    static TableCell of(qint64 number) { return {QString::number(number), number}; }
};
using TableRow = QList<TableCell>;

struct Table {
    TableRow header;
    QList<TableRow> rows;
};

// The table as CSV, as spreadsheets open it without asking: RFC 4180 (a
// field that holds a comma, a quote or a line break between quotes, a quote
// doubled; CR LF after every row) in UTF-8 with the byte-order mark.
QByteArray csvTable(const Table &table);

} // namespace brevant
