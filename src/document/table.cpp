#include "document/table.h"

namespace brevant {

namespace {

void appendField(QByteArray &out, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n')) {
        out += '"';
        out += QByteArray(bytes).replace('"', "\"\"");
        out += '"';
    } else {
        out += bytes;
    }
}

void appendRow(QByteArray &out, const TableRow &row)
{
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, row.at(i).text);
    }
    out += "\r\n";
}

} // namespace

QByteArray csvTable(const Table &table)
{
    QByteArray out("\xEF\xBB\xBF");
    appendRow(out, table.header);
    for (const TableRow &row : table.rows)
        appendRow(out, row);
    return out;
}

} // namespace brevant
