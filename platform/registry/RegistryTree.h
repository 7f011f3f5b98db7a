#pragma once
// The registry's keys and values as rows of one open database: the
// operations of RegistryStore without transactions. The caller runs each
// public operation inside one transaction (RegistryStore does).

#include "platform/registry/RegistryStore.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class SqliteDatabase;

class RegistryTree {
public:
    using KeyId = std::int64_t;

    // A key of a loaded subtree.
    struct Node {
        KeyId parent = 0;
        std::string name;
        std::vector<KeyId> children;
        std::vector<RegistryValue> values;
    };
    using NodeMap = std::map<KeyId, Node>;

    explicit RegistryTree(SqliteDatabase& db) : m_db(db) {}

    // The statements that create an empty tree with its three roots.
    static const char* SchemaSql();

    // Splits "a\b\c" into its names. An empty path is the root; one trailing
    // "\" is allowed; any other empty name is ERROR_BAD_PATHNAME.
    static LONG SplitPath(const std::string& keyPath, std::vector<std::string>& names);

    LONG Find(HKEY root, const std::string& keyPath, KeyId& id);
    LONG Make(HKEY root, const std::string& keyPath, KeyId& id, DWORD* disposition);
    LONG Remove(KeyId id);
    LONG ReadValue(KeyId key, const std::string& name, RegistryValue& value);
    LONG WriteValue(KeyId key, const std::string& name, DWORD type, const std::string& data);
    LONG RemoveValue(KeyId key, const std::string& name);

    // Appends the key with everything below it to keys, sorted.
    LONG Export(HKEY root, KeyId id, std::vector<RegistryKeyRecord>& keys);

private:
    LONG FindChild(KeyId parent, const std::string& name, KeyId& id);
    LONG StoredPath(KeyId id, std::vector<std::string>& names);
    // The key id with every key and value below it.
    LONG LoadSubtree(KeyId id, NodeMap& nodes);

    SqliteDatabase& m_db;
};

// An SQLite result code as a registry result; failures not told apart
// otherwise become otherwise.
LONG RegistryError(int sqliteCode, LONG otherwise);
