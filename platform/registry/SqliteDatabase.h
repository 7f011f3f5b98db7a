#pragma once
// A thin owner of one SQLite connection and its prepared statements. Only the
// registry store uses it; nothing else in the program touches SQLite.

#include <cstdint>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class SqliteStatement {
public:
    // Prepares sql on db; ok() tells whether that worked (rc() the code).
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool ok() const { return m_stmt != nullptr; }
    int rc() const { return m_rc; }

    // Parameters are numbered from 1. Text and blobs are copied.
    SqliteStatement& Bind(int index, std::int64_t number);
    SqliteStatement& BindText(int index, const std::string& text);
    SqliteStatement& BindBlob(int index, const std::string& bytes);
    SqliteStatement& BindNull(int index);

    // One step: SQLITE_ROW, SQLITE_DONE or an error code (also when the
    // statement did not prepare or a bind failed).
    int Step();
    // Step() until done; SQLITE_DONE or the first error.
    int Run();

    std::int64_t Int(int column) const;
    bool IsNull(int column) const;
    std::string Text(int column) const;
    std::string Blob(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_rc = 0;
};

class SqliteDatabase {
public:
    // Opens (creating when missing) the database file at path for reading and
    // writing, or reading only when the file is write-protected. Waits up to
    // busyMilliseconds for another connection's lock. Null on failure, with
    // the SQLite code in rc.
    static std::unique_ptr<SqliteDatabase> Open(const std::string& path, int busyMilliseconds,
                                                int& rc);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Runs one or more statements without results; the SQLite code.
    int Exec(const char* sql);
    SqliteStatement Prepare(const char* sql) { return SqliteStatement(m_db, sql); }
    std::int64_t LastInsertId() const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int Changes() const;
    bool ReadOnly() const;

    // Gives up the connection without closing it: for a child process that
    // inherited it through fork(), where closing would disturb the parent's
    // locks and files.
    void Abandon() { m_db = nullptr; }

private:
    explicit SqliteDatabase(sqlite3* db) : m_db(db) {}
    sqlite3* m_db;
};
