#include "platform/registry/SqliteDatabase.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql)
{
    m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    if (m_rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t number)
{
    if (m_stmt && m_rc == SQLITE_OK)
        m_rc = sqlite3_bind_int64(m_stmt, index, number);
    return *this;
}

SqliteStatement& SqliteStatement::BindText(int index, const std::string& text)
{
    if (m_stmt && m_rc == SQLITE_OK)
        m_rc = sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()),
                                 SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, const std::string& bytes)
{
    // std::string::data() is never null, so an empty value binds as an empty
    // blob rather than as NULL.
    if (m_stmt && m_rc == SQLITE_OK)
        m_rc = sqlite3_bind_blob(m_stmt, index, bytes.data(), static_cast<int>(bytes.size()),
                                 SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index)
{
    if (m_stmt && m_rc == SQLITE_OK)
        m_rc = sqlite3_bind_null(m_stmt, index);
    return *this;
}

int SqliteStatement::Step()
{
    if (!m_stmt)
        return m_rc == SQLITE_OK ? SQLITE_ERROR : m_rc;
    if (m_rc != SQLITE_OK && m_rc != SQLITE_ROW && m_rc != SQLITE_DONE)
        return m_rc;
    m_rc = sqlite3_step(m_stmt);
    return m_rc;
}

int SqliteStatement::Run()
{
    int rc;
    while ((rc = Step()) == SQLITE_ROW) {
    }
    return rc;
}

std::int64_t SqliteStatement::Int(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

bool SqliteStatement::IsNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

std::string SqliteStatement::Text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return text ? std::string(text, sqlite3_column_bytes(m_stmt, column)) : std::string();
}

std::string SqliteStatement::Blob(int column) const
{
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return bytes ? std::string(bytes, sqlite3_column_bytes(m_stmt, column)) : std::string();
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::Open(const std::string& path, int busyMilliseconds,
                                                     int& rc)
{
    sqlite3* db = nullptr;
    rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, busyMilliseconds);
    return std::unique_ptr<SqliteDatabase>(new SqliteDatabase(db));
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close_v2(m_db);
}

int SqliteDatabase::Exec(const char* sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
}

std::int64_t SqliteDatabase::LastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int SqliteDatabase::Changes() const
{
    return sqlite3_changes(m_db);
}

bool SqliteDatabase::ReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}
