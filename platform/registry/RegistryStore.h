#pragma once
// The registry: a tree of keys under three roots with typed values, kept in
// one SQLite database file per user. Key paths are relative to a root, parts
// separated by "\"; an empty path is the root itself. Key and value names
// compare without regard to ASCII letter case and keep the case they were
// first written with; the empty value name is the key's default value.
//
// Safe for several processes at once: every operation is one transaction
// (writes take the write lock at their start and wait for other writers up to
// a busy time-out), and the schema and seed values are created exactly once.
// A database that cannot be opened, read or written makes the operation fail
// with an ERROR_ code; nothing already stored is touched by a failure, and
// nothing throws. One object belongs to one process and one thread: a child
// process after fork() must not use its parent's objects (Default() notices
// and opens its own connection).

#include "platform/registry/RegistryTypes.h"

#include <memory>
#include <string>
#include <vector>

struct RegistryValue {
    std::string name;   // as first written; empty for the default value
    DWORD type = REG_NONE;
    std::string data;   // the stored bytes
};

// One key of an exported tree, with its values sorted by name.
struct RegistryKeyRecord {
    HKEY root = HKEY_CURRENT_USER;
    std::vector<std::string> path;  // key names below the root, as stored
    std::vector<RegistryValue> values;
};

// One change of an import.
struct RegistryEdit {
    enum Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = CreateKey;
    HKEY root = HKEY_CURRENT_USER;
    std::string keyPath;
    RegistryValue value;  // SetValue: name, type, data; DeleteValue: name
};

class SqliteDatabase;

class RegistryStore {
public:
    // A store on the database file at path (created with its folder on first
    // use). The file is not touched before the first operation.
    explicit RegistryStore(std::string path);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // The per-user store of this process, at DefaultRegistryPath() as it was
    // at the first call. Call it once early at start-up (before the current
    // folder changes) so that a relative TESSARINE_REGISTRY keeps its meaning.
    static RegistryStore& Default();

    const std::string& path() const { return m_path; }

    // ERROR_SUCCESS when the key exists.
    LONG OpenKey(HKEY root, const std::string& keyPath);

    // Reads a value into data, a buffer of *size bytes, the way the platform
    // does: type (when not null) receives the value's type and *size its
    // length in bytes. data may be null to ask for the length alone. A value
    // longer than *size gives ERROR_MORE_DATA (type and *size are set, data
    // holds nothing useful).
    LONG QueryValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                    DWORD* type, void* data, DWORD* size);

    // The whole value.
    LONG GetValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                  RegistryValue& value);

    // Creates or replaces a value in an existing key (ERROR_FILE_NOT_FOUND
    // when the key is missing: keys are never created here).
    LONG SetValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                  DWORD type, const void* data, DWORD size);

    // Creates the key and any missing keys above it. disposition (when not
    // null) receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
    LONG CreateKey(HKEY root, const std::string& keyPath, DWORD* disposition = nullptr);

    // ERROR_FILE_NOT_FOUND when the key or the value is missing.
    LONG DeleteValue(HKEY root, const std::string& keyPath, const std::string& valueName);

    // Deletes the key with all its subkeys and values. A root cannot be
    // deleted (ERROR_ACCESS_DENIED).
    LONG DeleteKey(HKEY root, const std::string& keyPath);

    // The key at keyPath and every key below it, sorted by path component by
    // component (names compared without ASCII case). For the whole store, use
    // ExportAll.
    LONG ExportTree(HKEY root, const std::string& keyPath, std::vector<RegistryKeyRecord>& keys);
    // All three roots' trees, in the order of their names; a root appears
    // itself only when it holds values.
    LONG ExportAll(std::vector<RegistryKeyRecord>& keys);

    // Applies every edit in one transaction: all of them or none. Deleting
    // what does not exist is no error; setting a value creates its key.
    LONG Apply(const std::vector<RegistryEdit>& edits);

private:
    class Session;
    // Runs work(tree) in one transaction, committed when it succeeds.
    template <typename Work>
    LONG InTransaction(bool write, Work work);
    // The same with the key at keyPath found first: work(tree, id).
    template <typename Work>
    LONG OnKey(bool write, HKEY root, const std::string& keyPath, Work work);
    // Opens the database on first use (again after a failed open); null
    // when it cannot be opened.
    SqliteDatabase* Database(LONG& error);

    std::string m_path;
    std::unique_ptr<SqliteDatabase> m_db;
    int m_ownerPid = 0;  // the process that opened m_db
};

// The database file of this user: TESSARINE_REGISTRY made absolute against
// the current folder, else $XDG_CONFIG_HOME/tessarine/registry.sqlite3 (an
// absolute XDG_CONFIG_HOME only), else ~/.config/tessarine/registry.sqlite3.
std::string DefaultRegistryPath();
