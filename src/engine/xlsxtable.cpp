#include "engine/xlsxtable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>

namespace brevant {

using namespace Qt::Literals::StringLiterals;

QByteArray xlsxTable(const Table &table, const QDateTime &made, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = u"The table could not be made: "_s + why;
        return QByteArray();
    };
    // libxlsxwriter writes a file: one in a folder of our own, read back.
    QTemporaryDir folder;
    if (!folder.isValid())
        return fail(folder.errorString());
    const QByteArray path = QFile::encodeName(folder.filePath(u"table.xlsx"_s));
    const QByteArray temporary = QFile::encodeName(folder.path());
    lxw_workbook_options options = {};
    options.tmpdir = const_cast<char *>(temporary.constData());
    lxw_workbook *workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook)
        return fail(u"the workbook could not be started"_s);
    lxw_doc_properties properties = {};
    properties.created = time_t(made.toSecsSinceEpoch());
    workbook_set_properties(workbook, &properties);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_format *zero = workbook_add_format(workbook);
    format_set_bg_color(zero, 0xFCE4D6);

    QList<int> widths(table.header.size(), 0);
    const auto write = [&](lxw_row_t row, const TableRow &cells, lxw_format *format) {
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const TableCell &cell = cells.at(c);
            const auto column = lxw_col_t(c);
            if (cell.number)
                worksheet_write_number(sheet, row, column, double(*cell.number), *cell.number == 0 ? zero : format);
            else
                worksheet_write_string(sheet, row, column, cell.text.toUtf8().constData(), format);
            if (c < widths.size())
                widths[c] = std::max(widths.at(c), int(std::min<qsizetype>(cell.text.size(), 60)));
        }
    };
    write(0, table.header, bold);
    for (qsizetype r = 0; r < table.rows.size(); ++r)
        write(lxw_row_t(r + 1), table.rows.at(r), nullptr);
    for (qsizetype c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::max(widths.at(c), 3) + 2, nullptr);
    worksheet_freeze_panes(sheet, 1, 0);

    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR)
        return fail(QString::fromUtf8(lxw_strerror(closed)));
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    return file.readAll();
}

} // namespace brevant
