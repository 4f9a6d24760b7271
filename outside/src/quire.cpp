// Quire over SQLite: one database per resource file, changes held in one pending write
// transaction per file until the flush commits it.
#include "quire.h"

#include <sqlite3.h>

#include <charconv>
#include <chrono>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

thread_local int quire_err = 0;

namespace {

// Marks a database as a quire file ("QRE1").
constexpr int kApplicationId = 0x51524531;
constexpr int kSchemaVersion = 1;
// How long an operation waits for another process's lock on the same file, unless set otherwise.
constexpr int kDefaultWaitMs = 5000;
// How often a waiting process tries the lock again, and how long a process that has just given the
// lock back waits before it takes it again: longer than one try, so that a process saving in a
// loop lets the waiting ones in rather than keeping the lock throughout their wait.
constexpr std::chrono::milliseconds kRetryInterval { 1 };
constexpr std::chrono::milliseconds kYieldAfterCommit { 3 };

// A new row's id is one more than the largest present, so ordering by id is insertion order.
const char kSchema[]
    = "CREATE TABLE topic(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
      " comment TEXT NOT NULL);"
      "CREATE TABLE item(id INTEGER PRIMARY KEY, topic INTEGER NOT NULL REFERENCES topic(id),"
      " name TEXT NOT NULL, value TEXT NOT NULL, comment TEXT NOT NULL,"
      " UNIQUE(topic, name));";

// quire_err of a failed SQLite call: a lock held past the wait, or any other failure.
int StoreFailure(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED ? kQuireLocked : kQuireUnreadable;
}

// quire_err of a failed change: the file's own state (locked, read-only, damaged, full, an I/O
// failure) as a store failure, anything else (a constraint) as otherwise.
int WriteFailure(int rc, int otherwise)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_READONLY:
    case SQLITE_IOERR:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FULL:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return StoreFailure(rc);
    default:
        return otherwise;
    }
}

// Prepared look-ups kept for reuse, by the address of their SQL text (a literal of this file).
struct StatementCache {
    struct Entry {
        const char* sql;
        sqlite3_stmt* stmt;
        bool inUse;
    };
    std::vector<Entry> entries;

    StatementCache() = default;
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;
    ~StatementCache()
    {
        for (const Entry& entry : entries)
            sqlite3_finalize(entry.stmt);
    }
};

class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        // Preparing reads the schema, so it fails too when the file is locked or damaged.
        mPrepared = sqlite3_prepare_v2(db, sql, -1, &mStmt, nullptr);
        if (mPrepared != SQLITE_OK) {
            sqlite3_finalize(mStmt);
            mStmt = nullptr;
        }
    }
    // The same, reusing a statement of cache that is not in use.
    Statement(StatementCache& cache, sqlite3* db, const char* sql)
    {
        for (std::size_t i = 0; i < cache.entries.size() && !mCache; ++i) {
            if (cache.entries[i].sql == sql && !cache.entries[i].inUse) {
                mCache = &cache;
                mEntry = i;
            }
        }
        if (!mCache) {
            mPrepared = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &mStmt, nullptr);
            if (mPrepared != SQLITE_OK) {
                sqlite3_finalize(mStmt);
                mStmt = nullptr;
                return;
            }
            cache.entries.push_back({ sql, mStmt, false });
            mCache = &cache;
            mEntry = cache.entries.size() - 1;
        }
        mStmt = cache.entries[mEntry].stmt;
        cache.entries[mEntry].inUse = true;
    }
    ~Statement()
    {
        if (!mCache) {
            sqlite3_finalize(mStmt);
            return;
        }
        sqlite3_reset(mStmt);
        sqlite3_clear_bindings(mStmt);
        mCache->entries[mEntry].inUse = false;
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, const char* text)
    {
        if (mStmt)
            sqlite3_bind_text(mStmt, index, text, -1, SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(int index, sqlite3_int64 value)
    {
        if (mStmt)
            sqlite3_bind_int64(mStmt, index, value);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() { return mStmt ? sqlite3_step(mStmt) : mPrepared; }
    sqlite3_int64 Int(int column) const { return sqlite3_column_int64(mStmt, column); }
    std::string Text(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(mStmt, column));
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(mStmt, column)))
                    : std::string();
    }

private:
    sqlite3_stmt* mStmt = nullptr;
    int mPrepared = SQLITE_OK;
    StatementCache* mCache = nullptr;
    std::size_t mEntry = 0;
};

struct QuireFile {
    sqlite3* db = nullptr;
    // Finalized after the destructor has closed db, which SQLite then completes.
    mutable StatementCache statements;
    // A write transaction is open: the file's write lock is held until the flush.
    bool pending = false;
    // The open write transaction holds changes.
    bool changed = false;
    // quire_lock_rfile calls not yet matched by quire_unlock_rfile.
    int holds = 0;
    // How long to wait for another process's lock, and since when the current wait lasts.
    int waitMs = kDefaultWaitMs;
    std::chrono::steady_clock::time_point busySince;
    // When this file last committed.
    std::chrono::steady_clock::time_point committed;
    // SQLite rolled a pending transaction back after a failure: the next flush must fail.
    bool lost = false;

    QuireFile() = default;
    QuireFile(const QuireFile&) = delete;
    QuireFile& operator=(const QuireFile&) = delete;
    ~QuireFile()
    {
        if (pending)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    }

    // SQLITE_OK once the write lock is held, else why it could not be taken.
    int BeginWrite()
    {
        if (pending)
            return SQLITE_OK;
        const auto sinceCommit = std::chrono::steady_clock::now() - committed;
        if (sinceCommit < kYieldAfterCommit)
            std::this_thread::sleep_for(kYieldAfterCommit - sinceCommit);
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        pending = rc == SQLITE_OK;
        return rc;
    }
    // Gives the write lock back when the transaction holds no change and nobody holds it.
    void EndUnchanged()
    {
        if (pending && !changed && holds == 0) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            pending = false;
        }
    }
    // After a failed statement: some errors make SQLite roll the whole transaction back.
    void NoteFailure()
    {
        if (pending && sqlite3_get_autocommit(db)) {
            pending = false;
            lost = changed;
            changed = false;
        }
    }
};

// Holds a file's write lock for one change: taken before the change reads what it changes, given
// back at the end unless a change was made (which keeps it until the flush).
class WriteLock {
public:
    explicit WriteLock(QuireFile& file)
        : mFile(file)
        , mStarted(!file.pending)
        , mRc(file.BeginWrite())
    { }
    ~WriteLock()
    {
        if (mStarted)
            mFile.EndUnchanged();
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool Held() const { return mRc == SQLITE_OK; }
    // quire_err when the lock could not be taken: a lock held elsewhere past the wait gives kQuireLocked.
    int Failure(int otherwise) const { return WriteFailure(mRc, otherwise); }
    void Changed() { mFile.changed = true; }

private:
    QuireFile& mFile;
    bool mStarted;
    int mRc;
};

// Groups the statements of one change so that it applies whole or not at all.
class Savepoint {
public:
    explicit Savepoint(QuireFile& file)
        : mFile(file)
    {
        mOpen = sqlite3_exec(file.db, "SAVEPOINT quire_change", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~Savepoint()
    {
        if (mOpen) {
            sqlite3_exec(mFile.db, "ROLLBACK TO quire_change", nullptr, nullptr, nullptr);
            sqlite3_exec(mFile.db, "RELEASE quire_change", nullptr, nullptr, nullptr);
        }
        if (!mReleased)
            mFile.NoteFailure();
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    bool Open() const { return mOpen; }
    bool Release()
    {
        mReleased
            = mOpen && sqlite3_exec(mFile.db, "RELEASE quire_change", nullptr, nullptr, nullptr) == SQLITE_OK;
        mOpen = !mReleased && mOpen;
        return mReleased;
    }

private:
    QuireFile& mFile;
    bool mOpen = false;
    bool mReleased = false;
};

} // namespace

// Where the last positional look-up of a table ended, so that the next position continues from it.
struct Cursor {
    const QuireFile* file = nullptr;
    sqlite3_int64 owner = 0;
    int position = -1;
    sqlite3_int64 id = 0;
    // For items: the owner's topic name.
    std::string topic;
};

struct Quire {
    std::vector<std::unique_ptr<QuireFile>> files;
    int waitMs = kDefaultWaitMs;
    Cursor topicCursor;
    Cursor itemCursor;
    // The texts handed out by quire_posat_topic, quire_posat_item and quire_search.
    std::string topicName;
    std::string itemName;
    std::string value;
};

namespace {

// Tries again every millisecond until the wait is over. SQLite's own handler sleeps up to 100 ms
// between tries, and a process that saves in a loop then keeps the lock from the others throughout.
int RetryWhileLocked(void* context, int count)
{
    auto* file = static_cast<QuireFile*>(context);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0)
        file->busySince = now;
    if (now - file->busySince >= std::chrono::milliseconds(file->waitMs))
        return 0;
    std::this_thread::sleep_for(kRetryInterval);
    return 1;
}

// Step result of a single-value query: SQLITE_ROW with *value set, or why not.
int QueryInt(sqlite3* db, const char* sql, sqlite3_int64* value)
{
    Statement query(db, sql);
    const int rc = query.Step();
    if (rc == SQLITE_ROW)
        *value = query.Int(0);
    return rc;
}

bool IsQuireFile(sqlite3* db)
{
    sqlite3_int64 id = 0;
    sqlite3_int64 version = 0;
    sqlite3_int64 tables = 0;
    return QueryInt(db, "PRAGMA application_id", &id) == SQLITE_ROW && id == kApplicationId
        && QueryInt(db, "PRAGMA user_version", &version) == SQLITE_ROW && version == kSchemaVersion
        && QueryInt(db,
               "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('topic', 'item')",
               &tables)
        == SQLITE_ROW
        && tables == 2;
}

bool IsEmptyDatabase(sqlite3* db)
{
    sqlite3_int64 id = -1;
    sqlite3_int64 objects = -1;
    return QueryInt(db, "PRAGMA application_id", &id) == SQLITE_ROW && id == 0
        && QueryInt(db, "SELECT count(*) FROM sqlite_master", &objects) == SQLITE_ROW && objects == 0;
}

// Under the write lock, so that of two processes creating one file the second finds the first's
// store and refuses to write another (its caller may then open the file).
bool WriteSchema(sqlite3* db)
{
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    const std::string script = std::string(kSchema)
        + "PRAGMA application_id = " + std::to_string(kApplicationId) + ";"
        + "PRAGMA user_version = " + std::to_string(kSchemaVersion) + ";COMMIT;";
    if (IsEmptyDatabase(db) && sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

std::unique_ptr<QuireFile> OpenFile(const char* path, bool create, int waitMs)
{
    auto file = std::make_unique<QuireFile>();
    // A file without any write permission is not to be changed, even by a privileged caller who
    // could: it is opened read-only, and changes fail as a read-only file's do.
    struct stat st { };
    const bool readOnly = stat(path, &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    const int flags
        = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path, &file->db, flags, nullptr) != SQLITE_OK)
        return nullptr;
    file->waitMs = waitMs;
    sqlite3_busy_handler(file->db, RetryWhileLocked, file.get());
    // Every commit reaches the disk before it counts as done.
    sqlite3_exec(file->db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    if (IsQuireFile(file->db))
        return create ? nullptr : std::move(file);
    if (create && WriteSchema(file->db))
        return file;
    return nullptr;
}

int Fail(int code)
{
    quire_err = code;
    return 0;
}

int Succeed(int result = 1)
{
    quire_err = kQuireNoError;
    return result;
}

// Step result of looking the topic up in one file: SQLITE_ROW with *id set, SQLITE_DONE when the
// file does not hold it, or why the file could not be read.
int FindTopicIn(const QuireFile& file, const char* topic, sqlite3_int64* id)
{
    Statement query(file.statements, file.db, "SELECT id FROM topic WHERE name = ?1");
    const int rc = query.Bind(1, topic).Step();
    if (rc == SQLITE_ROW)
        *id = query.Int(0);
    return rc;
}

// The same for an item of a topic, with its text.
int FindItemIn(const QuireFile& file, sqlite3_int64 topic, const char* item, std::string* value)
{
    Statement query(file.statements, file.db, "SELECT value FROM item WHERE topic = ?1 AND name = ?2");
    const int rc = query.Bind(1, topic).Bind(2, item).Step();
    if (rc == SQLITE_ROW && value)
        *value = query.Text(0);
    return rc;
}

int AddFile(Quire* quire, const char* path, bool create)
{
    if (!quire)
        return Fail(kQuireNull);
    if (!path || !*path)
        return Fail(kQuireNoFileName);
    std::unique_ptr<QuireFile> file = OpenFile(path, create, quire->waitMs);
    if (!file)
        return Fail(kQuireOpenFailed);
    quire->files.push_back(std::move(file));
    return Succeed(static_cast<int>(quire->files.size()));
}

bool IsSeparator(char c)
{
    return c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The index-th token of text between separators, as [first, last); false when there is none.
bool ItemToken(const char* text, int index, const char** first, const char** last)
{
    if (!text || index < 0)
        return false;
    const char* p = text;
    for (int i = 0;; ++i) {
        while (*p && IsSeparator(*p))
            ++p;
        if (!*p)
            return false;
        const char* start = p;
        while (*p && !IsSeparator(*p))
            ++p;
        if (i == index) {
            *first = start;
            *last = p;
            return true;
        }
    }
}

template <typename T, typename... Format>
int NumberFromItem(const char* text, int index, T* value, Format... format)
{
    const char* first = nullptr;
    const char* last = nullptr;
    if (!ItemToken(text, index, &first, &last))
        return -1;
    // from_chars takes a minus sign but no plus sign.
    if (*first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    T parsed {};
    const auto [end, ec] = std::from_chars(first, last, parsed, format...);
    if (ec != std::errc() || end != last)
        return -1;
    if (value)
        *value = parsed;
    return 0;
}

QuireFile* FileById(Quire* quire, int id)
{
    if (id < 1 || static_cast<std::size_t>(id) > quire->files.size())
        return nullptr;
    return quire->files[static_cast<std::size_t>(id) - 1].get();
}

// The most recently pushed file holding the topic, with the topic's row id. Null when no file
// holds it (*rc SQLITE_DONE) or a file could not be read (*rc says why).
QuireFile* FindTopic(Quire* quire, const char* topic, sqlite3_int64* id, int* rc)
{
    *rc = SQLITE_DONE;
    if (!topic)
        return nullptr;
    for (auto file = quire->files.rbegin(); file != quire->files.rend(); ++file) {
        *rc = FindTopicIn(**file, topic, id);
        if (*rc == SQLITE_ROW)
            return file->get();
        if (*rc != SQLITE_DONE)
            return nullptr;
    }
    return nullptr;
}

// quire_err code of a topic look-up that found nothing: absent (notFound) or unreadable.
int TopicMissing(int rc, int notFound) { return rc == SQLITE_DONE ? notFound : StoreFailure(rc); }

// quire_err code of looking up an item's text.
int FindItem(Quire* quire, const char* topic, const char* item, std::string* value)
{
    if (!quire)
        return kQuireNull;
    if (quire->files.empty())
        return kQuireNoFiles;
    sqlite3_int64 topicId = 0;
    int rc = SQLITE_DONE;
    const QuireFile* file = FindTopic(quire, topic, &topicId, &rc);
    if (!file)
        return TopicMissing(rc, kQuireTopicNotFound);
    if (!item)
        return kQuireItemNotFound;
    rc = FindItemIn(*file, topicId, item, value);
    return rc == SQLITE_ROW ? kQuireNoError : TopicMissing(rc, kQuireItemNotFound);
}

// The name at position among the rows of table (of owner, for items), in the order of their ids.
// The position after the one asked last continues from that row's id, so that a scan is linear;
// any other position counts the rows from the first. With value, the row's third column (an
// item's text) goes there. Step result as for FindTopicIn.
int NameAt(const QuireFile& file, Cursor& cursor, const char* byId, const char* byOffset, sqlite3_int64 owner,
    int position, std::string* name, std::string* value = nullptr)
{
    if (position < 0)
        return SQLITE_DONE;
    const bool next = cursor.file == &file && cursor.owner == owner && position == cursor.position + 1;
    Statement query(file.statements, file.db, next ? byId : byOffset);
    query.Bind(1, owner).Bind(2, cursor.id).Bind(3, sqlite3_int64 { position });
    int rc = query.Step();
    // A damaged table can give back a row at or before the last one ("rowid out of order"); a
    // scan that went on from there would never end.
    if (rc == SQLITE_ROW && next && query.Int(0) <= cursor.id)
        rc = SQLITE_CORRUPT;
    if (rc != SQLITE_ROW) {
        cursor = Cursor();
        return rc;
    }
    cursor = Cursor { &file, owner, position, query.Int(0), std::move(cursor.topic) };
    *name = query.Text(1);
    if (value)
        *value = query.Text(2);
    return rc;
}

} // namespace

Quire* quire_open()
{
    Quire* quire = new (std::nothrow) Quire;
    quire_err = quire ? kQuireNoError : kQuireNull;
    return quire;
}

int quire_close(Quire* quire)
{
    if (!quire)
        return Fail(kQuireNull);
    delete quire;
    return Succeed();
}

int quire_push_rfile(Quire* quire, const char* path) { return AddFile(quire, path, false); }

int quire_create_rfile(Quire* quire, const char* path) { return AddFile(quire, path, true); }

int quire_flush(Quire* quire)
{
    if (!quire)
        return Fail(kQuireNull);
    if (quire->files.empty())
        return Fail(kQuireNoFiles);
    bool ok = true;
    for (auto& file : quire->files) {
        if (file->lost) {
            file->lost = false;
            ok = false;
        }
        if (!file->pending)
            continue;
        if (sqlite3_exec(file->db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
            file->committed = std::chrono::steady_clock::now();
            file->pending = false;
            file->changed = false;
        } else {
            // A busy file keeps its transaction for the next flush; anything else was rolled back.
            file->NoteFailure();
            file->lost = false;
            ok = false;
        }
    }
    return ok ? Succeed() : Fail(kQuireFlushFailed);
}

int quire_set_wait(Quire* quire, int milliseconds)
{
    if (!quire)
        return Fail(kQuireNull);
    quire->waitMs = milliseconds < 0 ? 0 : milliseconds;
    for (auto& file : quire->files)
        file->waitMs = quire->waitMs;
    return Succeed();
}

int quire_lock_rfile(Quire* quire, int file)
{
    if (!quire)
        return Fail(kQuireNull);
    if (quire->files.empty())
        return Fail(kQuireNoFiles);
    QuireFile* target = FileById(quire, file);
    if (!target)
        return Fail(kQuireNoFileHandle);
    const int rc = target->BeginWrite();
    if (rc != SQLITE_OK)
        return Fail(StoreFailure(rc));
    ++target->holds;
    return Succeed();
}

int quire_unlock_rfile(Quire* quire, int file)
{
    if (!quire)
        return Fail(kQuireNull);
    QuireFile* target = FileById(quire, file);
    if (!target)
        return Fail(kQuireNoFileHandle);
    if (target->holds > 0)
        --target->holds;
    target->EndUnchanged();
    return Succeed();
}

int quire_search_topic(Quire* quire, const char* topic)
{
    if (!quire)
        return Fail(kQuireNull);
    if (quire->files.empty())
        return Fail(kQuireNoFiles);
    sqlite3_int64 id = 0;
    int rc = SQLITE_DONE;
    return FindTopic(quire, topic, &id, &rc) ? Succeed() : Fail(TopicMissing(rc, kQuireTopicNotFound));
}

int quire_add_topic(Quire* quire, int file, const char* topic, const char* comment)
{
    if (!quire)
        return Fail(kQuireNull);
    QuireFile* target = FileById(quire, file);
    if (!target)
        return Fail(kQuireNoFileHandle);
    if (!topic)
        return Fail(kQuireTopicExists);
    WriteLock lock(*target);
    if (!lock.Held())
        return Fail(lock.Failure(kQuireTopicWriteFailed));
    sqlite3_int64 id = 0;
    const int rc = FindTopicIn(*target, topic, &id);
    if (rc != SQLITE_DONE)
        return Fail(rc == SQLITE_ROW ? kQuireTopicExists : StoreFailure(rc));
    Statement insert(target->db, "INSERT INTO topic(name, comment) VALUES(?1, ?2)");
    if (const int step = insert.Bind(1, topic).Bind(2, comment ? comment : "").Step(); step != SQLITE_DONE) {
        target->NoteFailure();
        return Fail(WriteFailure(step, kQuireTopicWriteFailed));
    }
    lock.Changed();
    return Succeed();
}

int quire_remove_topic(Quire* quire, int file, const char* topic)
{
    if (!quire)
        return Fail(kQuireNull);
    QuireFile* target = FileById(quire, file);
    if (!target)
        return Fail(kQuireNoFileHandle);
    if (!topic)
        return Fail(kQuireChangedTopicNotFound);
    WriteLock lock(*target);
    if (!lock.Held())
        return Fail(lock.Failure(kQuireRemoveFailed));
    sqlite3_int64 id = 0;
    const int rc = FindTopicIn(*target, topic, &id);
    if (rc != SQLITE_ROW)
        return Fail(TopicMissing(rc, kQuireChangedTopicNotFound));
    Savepoint change(*target);
    Statement items(target->db, "DELETE FROM item WHERE topic = ?1");
    Statement row(target->db, "DELETE FROM topic WHERE id = ?1");
    if (!change.Open())
        return Fail(kQuireRemoveFailed);
    int step = items.Bind(1, id).Step();
    if (step == SQLITE_DONE)
        step = row.Bind(1, id).Step();
    if (step != SQLITE_DONE)
        return Fail(WriteFailure(step, kQuireRemoveFailed));
    if (!change.Release())
        return Fail(kQuireRemoveFailed);
    lock.Changed();
    return Succeed();
}

int quire_search(Quire* quire, const char* topic, const char* item, const char** value)
{
    std::string text;
    const int code = FindItem(quire, topic, item, &text);
    if (code != kQuireNoError)
        return Fail(code);
    if (value) {
        quire->value = std::move(text);
        *value = quire->value.c_str();
    }
    return Succeed();
}

int quire_search_int(Quire* quire, const char* topic, const char* item, int* value)
{
    std::string text;
    const int code = FindItem(quire, topic, item, &text);
    if (code != kQuireNoError)
        return Fail(code);
    return str_int_from_itemstr(text.c_str(), 0, value) == 0 ? Succeed() : Fail(kQuireItemNotFound);
}

int quire_search_string(Quire* quire, const char* topic, const char* item, char* out, int size)
{
    std::string text;
    const int code = FindItem(quire, topic, item, &text);
    if (code != kQuireNoError)
        return Fail(code);
    if (!out || size <= 0 || text.size() >= static_cast<std::size_t>(size))
        return Fail(kQuireTooShort);
    std::memcpy(out, text.c_str(), text.size() + 1);
    return Succeed();
}

int quire_modify(Quire* quire, const char* topic, const char* item, const char* value)
{
    if (!quire)
        return Fail(kQuireNull);
    if (quire->files.empty())
        return Fail(kQuireNoFiles);
    if (!item || !value)
        return Fail(kQuireItemWriteFailed);
    sqlite3_int64 topicId = 0;
    int rc = SQLITE_DONE;
    QuireFile* file = FindTopic(quire, topic, &topicId, &rc);
    if (!file)
        return Fail(TopicMissing(rc, kQuireChangedTopicNotFound));
    WriteLock lock(*file);
    if (!lock.Held())
        return Fail(lock.Failure(kQuireItemWriteFailed));
    // Looked up again under the lock: another process may have changed the file before.
    rc = FindTopicIn(*file, topic, &topicId);
    if (rc != SQLITE_ROW)
        return Fail(TopicMissing(rc, kQuireChangedTopicNotFound));
    rc = FindItemIn(*file, topicId, item, nullptr);
    if (rc != SQLITE_ROW)
        return Fail(TopicMissing(rc, kQuireItemNotFound));
    Statement update(file->db, "UPDATE item SET value = ?1 WHERE topic = ?2 AND name = ?3");
    if (const int step = update.Bind(1, value).Bind(2, topicId).Bind(3, item).Step(); step != SQLITE_DONE) {
        file->NoteFailure();
        return Fail(WriteFailure(step, kQuireItemWriteFailed));
    }
    lock.Changed();
    return Succeed();
}

int quire_add_item(Quire* quire, const char* topic, const char* item, const char* value, const char* comment)
{
    if (!quire)
        return Fail(kQuireNull);
    if (quire->files.empty())
        return Fail(kQuireNoFiles);
    if (!topic)
        return Fail(kQuireItemTopicFailed);
    if (!item || !value)
        return Fail(kQuireItemWriteFailed);
    sqlite3_int64 topicId = 0;
    int rc = SQLITE_DONE;
    QuireFile* file = FindTopic(quire, topic, &topicId, &rc);
    if (!file && rc != SQLITE_DONE)
        return Fail(StoreFailure(rc));
    if (!file)
        file = quire->files.back().get();
    WriteLock lock(*file);
    if (!lock.Held())
        return Fail(lock.Failure(kQuireItemWriteFailed));
    // Looked up again under the lock: another process may have changed the file before.
    rc = FindTopicIn(*file, topic, &topicId);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return Fail(StoreFailure(rc));
    const bool newTopic = rc == SQLITE_DONE;
    if (!newTopic) {
        rc = FindItemIn(*file, topicId, item, nullptr);
        if (rc != SQLITE_DONE)
            return Fail(rc == SQLITE_ROW ? kQuireItemExists : StoreFailure(rc));
    }
    Savepoint change(*file);
    if (!change.Open())
        return Fail(kQuireItemWriteFailed);
    if (newTopic) {
        Statement insert(file->db, "INSERT INTO topic(name, comment) VALUES(?1, '')");
        if (const int step = insert.Bind(1, topic).Step(); step != SQLITE_DONE)
            return Fail(WriteFailure(step, kQuireItemTopicFailed));
        topicId = sqlite3_last_insert_rowid(file->db);
    }
    Statement insert(file->db, "INSERT INTO item(topic, name, value, comment) VALUES(?1, ?2, ?3, ?4)");
    const int step
        = insert.Bind(1, topicId).Bind(2, item).Bind(3, value).Bind(4, comment ? comment : "").Step();
    if (step != SQLITE_DONE)
        return Fail(WriteFailure(step, kQuireItemWriteFailed));
    if (!change.Release())
        return Fail(kQuireItemWriteFailed);
    lock.Changed();
    return Succeed();
}

const char* quire_posat_topic(Quire* quire, int file, int position)
{
    if (!quire) {
        Fail(kQuireNull);
        return nullptr;
    }
    const QuireFile* source = FileById(quire, file);
    if (!source) {
        Fail(kQuireNoFileHandle);
        return nullptr;
    }
    const int rc
        = NameAt(*source, quire->topicCursor, "SELECT id, name FROM topic WHERE id > ?2 ORDER BY id LIMIT 1",
            "SELECT id, name FROM topic ORDER BY id LIMIT 1 OFFSET ?3", 0, position, &quire->topicName);
    if (rc != SQLITE_ROW) {
        Fail(TopicMissing(rc, kQuireEndOfTopics));
        return nullptr;
    }
    Succeed();
    return quire->topicName.c_str();
}

namespace {

// quire_posat_item, giving the item's text to value when it is not null.
const char* ItemAt(Quire* quire, const char* topic, int position, const char** value)
{
    if (!quire) {
        Fail(kQuireNull);
        return nullptr;
    }
    if (quire->files.empty()) {
        Fail(kQuireNoFiles);
        return nullptr;
    }
    // The next position of the topic scanned last continues with that topic's row.
    Cursor& cursor = quire->itemCursor;
    const bool next = cursor.file && topic && cursor.topic == topic && position == cursor.position + 1;
    sqlite3_int64 topicId = cursor.owner;
    int rc = SQLITE_DONE;
    const QuireFile* file = next ? cursor.file : FindTopic(quire, topic, &topicId, &rc);
    if (!file) {
        Fail(TopicMissing(rc, kQuireTopicNotFound));
        return nullptr;
    }
    if (!next)
        cursor.topic = topic;
    // "+topic" keeps the (topic, name) index out: walking the ids in order finds the next item at
    // once, where the index would gather and sort every item of the topic at each step.
    rc = NameAt(*file, quire->itemCursor,
        "SELECT id, name, value FROM item WHERE +topic = ?1 AND id > ?2 ORDER BY id LIMIT 1",
        "SELECT id, name, value FROM item WHERE +topic = ?1 ORDER BY id LIMIT 1 OFFSET ?3", topicId, position,
        &quire->itemName, value ? &quire->value : nullptr);
    if (rc != SQLITE_ROW) {
        Fail(TopicMissing(rc, kQuireEndOfItems));
        return nullptr;
    }
    if (value)
        *value = quire->value.c_str();
    Succeed();
    return quire->itemName.c_str();
}

} // namespace

const char* quire_posat_item(Quire* quire, const char* topic, int position)
{
    return ItemAt(quire, topic, position, nullptr);
}

const char* quire_posat_item_value(Quire* quire, const char* topic, int position, const char** value)
{
    return ItemAt(quire, topic, position, value);
}

int str_int_from_itemstr(const char* text, int index, int* value)
{
    return NumberFromItem(text, index, value);
}

int str_double_from_itemstr(const char* text, int index, double* value)
{
    return NumberFromItem(text, index, value, std::chars_format::general);
}
