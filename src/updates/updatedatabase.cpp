#include "updates/updatedatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace brevant {

namespace {

const QString kConnection = QStringLiteral("brevant-update-check");

std::optional<QString> text(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toString();
}

QString reason(const QSqlError &error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

UpdateReading readOn(QSqlDatabase &db, const QString &path)
{
    UpdateReading reading;
    const QString where = QDir::toNativeSeparators(path);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open()) {
        reading.error = QStringLiteral("%1 (%2)").arg(reason(db.lastError()), where);
        return reading;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // Unquoted names: SQLite reads an unknown double-quoted name as a
    // string, which would hide a missing column.
    if (!query.exec(QStringLiteral("SELECT Version, Updates FROM updates"))) {
        reading.error = QStringLiteral("%1 (%2)").arg(reason(query.lastError()), where);
        return reading;
    }
    while (query.next())
        reading.rows.append({text(query.value(0)), text(query.value(1))});
    if (query.lastError().isValid()) {
        reading.error = QStringLiteral("%1 (%2)").arg(reason(query.lastError()), where);
        reading.rows.clear();
        return reading;
    }
    reading.ok = true;
    return reading;
}

} // namespace

UpdateReading readUpdateDatabase(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        UpdateReading missing;
        missing.error = (info.exists() ? QStringLiteral("the update database %1 is not a file")
                                       : QStringLiteral("the update database %1 does not exist"))
                            .arg(QDir::toNativeSeparators(path));
        return missing;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        UpdateReading noDriver;
        noDriver.error = QStringLiteral("the SQLite driver of Qt SQL is not installed");
        return noDriver;
    }
    UpdateReading reading;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
        reading = readOn(db, path);
        db.close();
    }
    QSqlDatabase::removeDatabase(kConnection);
    return reading;
}

} // namespace brevant
