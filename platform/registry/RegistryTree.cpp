#include "platform/registry/RegistryTree.h"
#include "platform/registry/SqliteDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <strings.h>

namespace {

constexpr HKEY kFirstRoot = HKEY_CLASSES_ROOT;
constexpr HKEY kLastRoot = HKEY_LOCAL_MACHINE;

// Roots are the rows 1 to 3, created with the schema.
bool RootId(HKEY root, RegistryTree::KeyId& id)
{
    if (root < kFirstRoot || root > kLastRoot)
        return false;
    id = static_cast<RegistryTree::KeyId>(root - kFirstRoot) + 1;
    return true;
}

// Orders names as the export lists them: without ASCII case first, then by
// bytes so that the order is total.
bool NameLess(const std::string& a, const std::string& b)
{
    const std::size_t common = std::min(a.size(), b.size());
    const int folded = strncasecmp(a.c_str(), b.c_str(), common);
    if (folded != 0 || a.size() != b.size())
        return folded != 0 ? folded < 0 : a.size() < b.size();
    return a < b;
}

const char* const kSubtreeCte =
    "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION ALL "
    "SELECT k.id FROM keys k JOIN sub ON k.parent = sub.id) ";

using Node = RegistryTree::Node;
using NodeMap = RegistryTree::NodeMap;

void AppendSorted(NodeMap& nodes, RegistryTree::KeyId id, RegistryKeyRecord record,
                  std::vector<RegistryKeyRecord>& out)
{
    Node& node = nodes[id];
    std::sort(node.values.begin(), node.values.end(),
              [](const RegistryValue& a, const RegistryValue& b) { return NameLess(a.name, b.name); });
    std::sort(node.children.begin(), node.children.end(),
              [&](RegistryTree::KeyId a, RegistryTree::KeyId b) {
                  return NameLess(nodes[a].name, nodes[b].name);
              });
    record.values = std::move(node.values);
    const RegistryKeyRecord self = record;
    out.push_back(record);
    for (RegistryTree::KeyId child : node.children) {
        RegistryKeyRecord sub{self.root, self.path, {}};
        sub.path.push_back(nodes[child].name);
        AppendSorted(nodes, child, std::move(sub), out);
    }
}

}  // namespace

LONG RegistryError(int sqliteCode, LONG otherwise)
{
    switch (sqliteCode & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return ERROR_SUCCESS;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return ERROR_REGISTRY_CORRUPT;
    case SQLITE_CANTOPEN:
        return ERROR_CANTOPEN;
    default:
        return otherwise;
    }
}

const char* RegistryTree::SchemaSql()
{
    return "CREATE TABLE keys("
           " id INTEGER PRIMARY KEY,"
           " parent INTEGER REFERENCES keys(id),"
           " name TEXT NOT NULL COLLATE NOCASE,"
           " UNIQUE(parent, name));"
           "CREATE TABLE reg_values("
           " key INTEGER NOT NULL REFERENCES keys(id),"
           " name TEXT NOT NULL COLLATE NOCASE,"
           " type INTEGER NOT NULL,"
           " data BLOB NOT NULL,"
           " PRIMARY KEY(key, name)) WITHOUT ROWID;"
           "INSERT INTO keys(id, parent, name) VALUES"
           " (1, NULL, 'HKEY_CLASSES_ROOT'),"
           " (2, NULL, 'HKEY_CURRENT_USER'),"
           " (3, NULL, 'HKEY_LOCAL_MACHINE');";
}

LONG RegistryTree::SplitPath(const std::string& keyPath, std::vector<std::string>& names)
{
    names.clear();
    std::string path = keyPath;
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    if (path.empty())
        return keyPath.empty() ? ERROR_SUCCESS : ERROR_BAD_PATHNAME;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find('\\', start);
        names.push_back(path.substr(start, end == std::string::npos ? end : end - start));
        if (names.back().empty())
            return ERROR_BAD_PATHNAME;
        if (end == std::string::npos)
            return ERROR_SUCCESS;
        start = end + 1;
    }
}

LONG RegistryTree::FindChild(KeyId parent, const std::string& name, KeyId& id)
{
    SqliteStatement find = m_db.Prepare("SELECT id FROM keys WHERE parent = ?1 AND name = ?2");
    find.Bind(1, parent).BindText(2, name);
    const int rc = find.Step();
    if (rc == SQLITE_ROW) {
        id = find.Int(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : RegistryError(rc, ERROR_CANTREAD);
}

LONG RegistryTree::Find(HKEY root, const std::string& keyPath, KeyId& id)
{
    std::vector<std::string> names;
    if (!RootId(root, id))
        return ERROR_INVALID_PARAMETER;
    if (const LONG split = SplitPath(keyPath, names); split != ERROR_SUCCESS)
        return split;
    for (const std::string& name : names)
        if (const LONG found = FindChild(id, name, id); found != ERROR_SUCCESS)
            return found;
    return ERROR_SUCCESS;
}

LONG RegistryTree::Make(HKEY root, const std::string& keyPath, KeyId& id, DWORD* disposition)
{
    std::vector<std::string> names;
    if (!RootId(root, id))
        return ERROR_INVALID_PARAMETER;
    if (const LONG split = SplitPath(keyPath, names); split != ERROR_SUCCESS)
        return split;
    DWORD result = REG_OPENED_EXISTING_KEY;
    for (const std::string& name : names) {
        const LONG found = FindChild(id, name, id);
        if (found == ERROR_FILE_NOT_FOUND) {
            SqliteStatement insert = m_db.Prepare("INSERT INTO keys(parent, name) VALUES(?1, ?2)");
            const KeyId parent = id;
            if (const int rc = insert.Bind(1, parent).BindText(2, name).Run(); rc != SQLITE_DONE)
                return RegistryError(rc, ERROR_CANTWRITE);
            id = m_db.LastInsertId();
            result = REG_CREATED_NEW_KEY;
        } else if (found != ERROR_SUCCESS) {
            return found;
        }
    }
    if (disposition)
        *disposition = result;
    return ERROR_SUCCESS;
}

LONG RegistryTree::Remove(KeyId id)
{
    const std::string values = std::string(kSubtreeCte) +
                               "DELETE FROM reg_values WHERE key IN (SELECT id FROM sub)";
    const std::string keys = std::string(kSubtreeCte) + "DELETE FROM keys WHERE id IN (SELECT id FROM sub)";
    for (const std::string& sql : {values, keys}) {
        SqliteStatement remove = m_db.Prepare(sql.c_str());
        if (const int rc = remove.Bind(1, id).Run(); rc != SQLITE_DONE)
            return RegistryError(rc, ERROR_CANTWRITE);
    }
    return ERROR_SUCCESS;
}

LONG RegistryTree::ReadValue(KeyId key, const std::string& name, RegistryValue& value)
{
    SqliteStatement read =
        m_db.Prepare("SELECT name, type, data FROM reg_values WHERE key = ?1 AND name = ?2");
    read.Bind(1, key).BindText(2, name);
    const int rc = read.Step();
    if (rc == SQLITE_DONE)
        return ERROR_FILE_NOT_FOUND;
    if (rc != SQLITE_ROW)
        return RegistryError(rc, ERROR_CANTREAD);
    value.name = read.Text(0);
    value.type = static_cast<DWORD>(read.Int(1));
    value.data = read.Blob(2);
    return ERROR_SUCCESS;
}

LONG RegistryTree::WriteValue(KeyId key, const std::string& name, DWORD type, const std::string& data)
{
    // The conflict clause keeps the name as it was first written.
    SqliteStatement write = m_db.Prepare(
        "INSERT INTO reg_values(key, name, type, data) VALUES(?1, ?2, ?3, ?4) "
        "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
    write.Bind(1, key).BindText(2, name).Bind(3, type).BindBlob(4, data);
    const int rc = write.Run();
    return rc == SQLITE_DONE ? ERROR_SUCCESS : RegistryError(rc, ERROR_CANTWRITE);
}

LONG RegistryTree::RemoveValue(KeyId key, const std::string& name)
{
    SqliteStatement remove = m_db.Prepare("DELETE FROM reg_values WHERE key = ?1 AND name = ?2");
    const int rc = remove.Bind(1, key).BindText(2, name).Run();
    if (rc != SQLITE_DONE)
        return RegistryError(rc, ERROR_CANTWRITE);
    return m_db.Changes() > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegistryTree::StoredPath(KeyId id, std::vector<std::string>& names)
{
    names.clear();
    for (;;) {
        SqliteStatement up = m_db.Prepare("SELECT parent, name FROM keys WHERE id = ?1");
        const int rc = up.Bind(1, id).Step();
        if (rc != SQLITE_ROW)
            return RegistryError(rc, ERROR_CANTREAD);
        if (up.IsNull(0))
            break;
        names.insert(names.begin(), up.Text(1));
        id = up.Int(0);
    }
    return ERROR_SUCCESS;
}

LONG RegistryTree::LoadSubtree(KeyId id, NodeMap& nodes)
{
    const std::string keySql = std::string(kSubtreeCte) +
                               "SELECT k.id, k.parent, k.name FROM keys k JOIN sub ON k.id = sub.id";
    SqliteStatement keyRows = m_db.Prepare(keySql.c_str());
    keyRows.Bind(1, id);
    int rc;
    while ((rc = keyRows.Step()) == SQLITE_ROW) {
        Node& node = nodes[keyRows.Int(0)];
        node.parent = keyRows.IsNull(1) ? 0 : keyRows.Int(1);
        node.name = keyRows.Text(2);
    }
    if (rc != SQLITE_DONE)
        return RegistryError(rc, ERROR_CANTREAD);
    for (auto& [child, node] : nodes)
        if (child != id)
            nodes[node.parent].children.push_back(child);
    const std::string valueSql = std::string(kSubtreeCte) +
                                 "SELECT key, name, type, data FROM reg_values "
                                 "WHERE key IN (SELECT id FROM sub)";
    SqliteStatement valueRows = m_db.Prepare(valueSql.c_str());
    valueRows.Bind(1, id);
    while ((rc = valueRows.Step()) == SQLITE_ROW)
        nodes[valueRows.Int(0)].values.push_back(
            {valueRows.Text(1), static_cast<DWORD>(valueRows.Int(2)), valueRows.Blob(3)});
    return rc == SQLITE_DONE ? ERROR_SUCCESS : RegistryError(rc, ERROR_CANTREAD);
}

LONG RegistryTree::Export(HKEY root, KeyId id, std::vector<RegistryKeyRecord>& keys)
{
    NodeMap nodes;
    RegistryKeyRecord top{root, {}, {}};
    LONG result = LoadSubtree(id, nodes);
    if (result == ERROR_SUCCESS)
        result = StoredPath(id, top.path);
    if (result == ERROR_SUCCESS)
        AppendSorted(nodes, id, std::move(top), keys);
    return result;
}
