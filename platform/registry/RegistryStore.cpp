#include "platform/registry/RegistryStore.h"
#include "platform/registry/RegistryLocation.h"
#include "platform/registry/RegistryTree.h"
#include "platform/registry/SqliteDatabase.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace {

// A writer holds the lock for one small operation; waiting this long for it
// only happens when something is badly wrong.
constexpr int kBusyMilliseconds = 30000;
constexpr int kSchemaVersion = 1;

std::string Terminated(const std::string& text)
{
    return std::string(text.c_str(), text.size() + 1);
}

LONG SeedShellFolders(RegistryTree& tree)
{
    struct Seed {
        HKEY root;
        const char* key;
        const char* name;
        std::string text;
    };
    const Seed seeds[] = {
        {HKEY_CURRENT_USER, kShellFoldersKey, "Programs", ProgramsFolder()},
        {HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", ProgramFilesFolder()},
    };
    for (const Seed& seed : seeds) {
        RegistryTree::KeyId id = 0;
        LONG result = tree.Make(seed.root, seed.key, id, nullptr);
        if (result == ERROR_SUCCESS)
            result = tree.WriteValue(id, seed.name, REG_SZ, Terminated(seed.text));
        if (result != ERROR_SUCCESS)
            return result;
    }
    return ERROR_SUCCESS;
}

int SchemaVersion(SqliteDatabase& db, int& rc)
{
    SqliteStatement version = db.Prepare("PRAGMA user_version");
    rc = version.Step();
    return rc == SQLITE_ROW ? static_cast<int>(version.Int(0)) : 0;
}

// Creates the tables and seed values unless another process already has:
// the version check and the creation are one write transaction.
LONG EnsureSchema(SqliteDatabase& db)
{
    int rc = SQLITE_OK;
    if (db.ReadOnly())
        return SchemaVersion(db, rc) >= kSchemaVersion ? ERROR_SUCCESS
                                                       : RegistryError(rc, ERROR_CANTOPEN);
    if ((rc = db.Exec("BEGIN IMMEDIATE")) != SQLITE_OK)
        return RegistryError(rc, ERROR_CANTOPEN);
    LONG result = ERROR_SUCCESS;
    if (SchemaVersion(db, rc) < kSchemaVersion) {
        RegistryTree tree(db);
        rc = rc == SQLITE_ROW ? db.Exec(RegistryTree::SchemaSql()) : rc;
        result = RegistryError(rc, ERROR_CANTOPEN);
        if (result == ERROR_SUCCESS)
            result = SeedShellFolders(tree);
        if (result == ERROR_SUCCESS)
            result = RegistryError(db.Exec("PRAGMA user_version = 1"), ERROR_CANTOPEN);
    }
    if (result == ERROR_SUCCESS)
        result = RegistryError(db.Exec("COMMIT"), ERROR_CANTOPEN);
    if (result != ERROR_SUCCESS)
        db.Exec("ROLLBACK");
    return result;
}

// WAL lets readers go on while one process writes. Switching needs a moment
// of exclusive access; another process doing the same at that moment makes
// it report busy, so it is tried again a bounded number of times.
LONG EnsureWal(SqliteDatabase& db)
{
    if (db.ReadOnly())
        return ERROR_SUCCESS;
    int rc = SQLITE_BUSY;
    for (int attempt = 0; attempt < 200 && (rc & 0xff) == SQLITE_BUSY; ++attempt) {
        if (attempt > 0)
            usleep(10000);
        rc = db.Exec("PRAGMA journal_mode=WAL");
    }
    return RegistryError(rc, ERROR_CANTOPEN);
}

}  // namespace

// One operation's transaction: a write takes the write lock at once (a read
// that later writes could not wait for it), a read sees one snapshot. Rolled
// back unless finished with success.
class RegistryStore::Session {
public:
    Session(RegistryStore& store, bool write) : m_db(store.Database(m_error))
    {
        if (m_db && (m_error = RegistryError(m_db->Exec(write ? "BEGIN IMMEDIATE" : "BEGIN"),
                                             write ? ERROR_CANTWRITE : ERROR_CANTREAD)) ==
                        ERROR_SUCCESS)
            m_open = true;
    }
    ~Session()
    {
        if (m_open)
            m_db->Exec("ROLLBACK");
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    LONG error() const { return m_error; }
    RegistryTree tree() { return RegistryTree(*m_db); }

    // Commits when result is success; the result, or the commit's failure.
    LONG Finish(LONG result)
    {
        if (result != ERROR_SUCCESS || !m_open)
            return result;
        m_open = false;
        const int rc = m_db->Exec("COMMIT");
        if (rc != SQLITE_OK)
            m_db->Exec("ROLLBACK");
        return RegistryError(rc, ERROR_CANTWRITE);
    }

private:
    LONG m_error = ERROR_SUCCESS;
    SqliteDatabase* m_db;
    bool m_open = false;
};

RegistryStore::RegistryStore(std::string path) : m_path(std::move(path)) {}

RegistryStore::~RegistryStore() = default;

RegistryStore& RegistryStore::Default()
{
    static RegistryStore store(DefaultRegistryPath());
    return store;
}

SqliteDatabase* RegistryStore::Database(LONG& error)
{
    if (m_db && m_ownerPid != getpid()) {
        m_db->Abandon();
        m_db.reset();
    }
    if (m_db)
        return m_db.get();
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), ignored);
    int rc = SQLITE_OK;
    std::unique_ptr<SqliteDatabase> db = SqliteDatabase::Open(m_path, kBusyMilliseconds, rc);
    if (!db) {
        error = RegistryError(rc, ERROR_CANTOPEN);
        return nullptr;
    }
    error = EnsureWal(*db);
    if (error == ERROR_SUCCESS)
        error = EnsureSchema(*db);
    if (error != ERROR_SUCCESS)
        return nullptr;
    m_db = std::move(db);
    m_ownerPid = getpid();
    return m_db.get();
}

template <typename Work>
LONG RegistryStore::InTransaction(bool write, Work work)
{
    Session session(*this, write);
    if (session.error() != ERROR_SUCCESS)
        return session.error();
    RegistryTree tree = session.tree();
    return session.Finish(work(tree));
}

template <typename Work>
LONG RegistryStore::OnKey(bool write, HKEY root, const std::string& keyPath, Work work)
{
    return InTransaction(write, [&](RegistryTree& tree) {
        RegistryTree::KeyId id = 0;
        const LONG found = tree.Find(root, keyPath, id);
        return found == ERROR_SUCCESS ? work(tree, id) : found;
    });
}

LONG RegistryStore::OpenKey(HKEY root, const std::string& keyPath)
{
    return OnKey(false, root, keyPath, [](RegistryTree&, RegistryTree::KeyId) { return ERROR_SUCCESS; });
}

LONG RegistryStore::GetValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                             RegistryValue& value)
{
    return OnKey(false, root, keyPath, [&](RegistryTree& tree, RegistryTree::KeyId id) {
        return tree.ReadValue(id, valueName, value);
    });
}

LONG RegistryStore::QueryValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                               DWORD* type, void* data, DWORD* size)
{
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    RegistryValue value;
    if (const LONG result = GetValue(root, keyPath, valueName, value); result != ERROR_SUCCESS)
        return result;
    if (type)
        *type = value.type;
    if (!size)
        return ERROR_SUCCESS;
    const DWORD room = *size;
    *size = static_cast<DWORD>(value.data.size());
    if (!data)
        return ERROR_SUCCESS;
    if (value.data.size() > room)
        return ERROR_MORE_DATA;
    std::memcpy(data, value.data.data(), value.data.size());
    return ERROR_SUCCESS;
}

LONG RegistryStore::SetValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                             DWORD type, const void* data, DWORD size)
{
    if (!data && size > 0)
        return ERROR_INVALID_PARAMETER;
    const std::string bytes = size ? std::string(static_cast<const char*>(data), size) : std::string();
    return OnKey(true, root, keyPath, [&](RegistryTree& tree, RegistryTree::KeyId id) {
        return tree.WriteValue(id, valueName, type, bytes);
    });
}

LONG RegistryStore::CreateKey(HKEY root, const std::string& keyPath, DWORD* disposition)
{
    return InTransaction(true, [&](RegistryTree& tree) {
        RegistryTree::KeyId id = 0;
        return tree.Make(root, keyPath, id, disposition);
    });
}

LONG RegistryStore::DeleteValue(HKEY root, const std::string& keyPath, const std::string& valueName)
{
    return OnKey(true, root, keyPath, [&](RegistryTree& tree, RegistryTree::KeyId id) {
        return tree.RemoveValue(id, valueName);
    });
}

LONG RegistryStore::DeleteKey(HKEY root, const std::string& keyPath)
{
    std::vector<std::string> names;
    if (const LONG split = RegistryTree::SplitPath(keyPath, names); split != ERROR_SUCCESS)
        return split;
    if (names.empty())
        return ERROR_ACCESS_DENIED;
    return OnKey(true, root, keyPath, [](RegistryTree& tree, RegistryTree::KeyId id) { return tree.Remove(id); });
}

LONG RegistryStore::ExportTree(HKEY root, const std::string& keyPath,
                               std::vector<RegistryKeyRecord>& keys)
{
    keys.clear();
    return OnKey(false, root, keyPath, [&](RegistryTree& tree, RegistryTree::KeyId id) {
        return tree.Export(root, id, keys);
    });
}

LONG RegistryStore::ExportAll(std::vector<RegistryKeyRecord>& keys)
{
    keys.clear();
    return InTransaction(false, [&](RegistryTree& tree) {
        for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RegistryTree::KeyId id = 0;
            const std::size_t first = keys.size();
            LONG result = tree.Find(root, "", id);
            if (result == ERROR_SUCCESS)
                result = tree.Export(root, id, keys);
            if (result != ERROR_SUCCESS)
                return result;
            if (keys[first].values.empty())
                keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(first));
        }
        return ERROR_SUCCESS;
    });
}

namespace {

LONG ApplyOne(RegistryTree& tree, const RegistryEdit& edit)
{
    RegistryTree::KeyId id = 0;
    switch (edit.kind) {
    case RegistryEdit::CreateKey:
        return tree.Make(edit.root, edit.keyPath, id, nullptr);
    case RegistryEdit::SetValue: {
        const LONG made = tree.Make(edit.root, edit.keyPath, id, nullptr);
        return made != ERROR_SUCCESS ? made
                                     : tree.WriteValue(id, edit.value.name, edit.value.type, edit.value.data);
    }
    case RegistryEdit::DeleteKey: {
        std::vector<std::string> names;
        LONG result = RegistryTree::SplitPath(edit.keyPath, names);
        if (result == ERROR_SUCCESS && names.empty())
            return ERROR_ACCESS_DENIED;
        result = result == ERROR_SUCCESS ? tree.Find(edit.root, edit.keyPath, id) : result;
        result = result == ERROR_SUCCESS ? tree.Remove(id) : result;
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    }
    case RegistryEdit::DeleteValue: {
        LONG result = tree.Find(edit.root, edit.keyPath, id);
        result = result == ERROR_SUCCESS ? tree.RemoveValue(id, edit.value.name) : result;
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    }
    }
    return ERROR_INVALID_PARAMETER;
}

}  // namespace

LONG RegistryStore::Apply(const std::vector<RegistryEdit>& edits)
{
    return InTransaction(true, [&](RegistryTree& tree) {
        for (const RegistryEdit& edit : edits)
            if (const LONG result = ApplyOne(tree, edit); result != ERROR_SUCCESS)
                return result;
        return ERROR_SUCCESS;
    });
}
