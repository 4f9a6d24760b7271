// Quire over SQLite: one database per resource file, changes held in one pending write
// transaction per file until the flush commits it.
#include "quire.h"

#include <sqlite3.h>

#include <charconv>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

thread_local int quire_err = 0;

namespace {

// Marks a database as a quire file ("QRE1").
constexpr int kApplicationId = 0x51524531;
constexpr int kSchemaVersion = 1;
// How long an operation waits for another process's lock on the same file.
constexpr int kBusyTimeoutMs = 5000;

// A new row's id is one more than the largest present, so ordering by id is insertion order.
const char kSchema[]
    = "CREATE TABLE topic(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
      " comment TEXT NOT NULL);"
      "CREATE TABLE item(id INTEGER PRIMARY KEY, topic INTEGER NOT NULL REFERENCES topic(id),"
      " name TEXT NOT NULL, value TEXT NOT NULL, comment TEXT NOT NULL,"
      " UNIQUE(topic, name));";

enum QuireError {
    kNoError = 0,
    kNoFileName = 1,
    kOpenFailed = 2,
    kNullQuire = 4,
    kNoFiles = 5,
    kNoFileHandle = 6,
    kTopicExists = 7,
    kItemExists = 8,
    kTopicWriteFailed = 9,
    kItemWriteFailed = 10,
    kItemTopicFailed = 11,
    kFlushFailed = 12,
    kEndOfTopics = 13,
    kEndOfItems = 14,
    kTopicNotFound = 15,
    kItemNotFound = 17,
    kTooShort = 18,
    kChangedTopicNotFound = 19,
    kRemoveFailed = 20,
};

class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &mStmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(mStmt);
            mStmt = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(mStmt); }
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
    int Step() { return mStmt ? sqlite3_step(mStmt) : SQLITE_ERROR; }
    sqlite3_int64 Int(int column) const { return sqlite3_column_int64(mStmt, column); }
    std::string Text(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(mStmt, column));
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(mStmt, column)))
                    : std::string();
    }

private:
    sqlite3_stmt* mStmt = nullptr;
};

struct QuireFile {
    sqlite3* db = nullptr;
    // A write transaction is open and holds changes not yet flushed.
    bool pending = false;
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

    bool BeginWrite()
    {
        if (pending)
            return true;
        pending = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        return pending;
    }
    // After a failed statement: some errors make SQLite roll the whole transaction back.
    void NoteFailure()
    {
        if (pending && sqlite3_get_autocommit(db)) {
            pending = false;
            lost = true;
        }
    }
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

struct Quire {
    std::vector<std::unique_ptr<QuireFile>> files;
    // The texts handed out by quire_posat_topic, quire_posat_item and quire_search.
    std::string topicName;
    std::string itemName;
    std::string value;
};

namespace {

bool QueryInt(sqlite3* db, const char* sql, sqlite3_int64* value)
{
    Statement query(db, sql);
    if (query.Step() != SQLITE_ROW)
        return false;
    *value = query.Int(0);
    return true;
}

bool IsQuireFile(sqlite3* db)
{
    sqlite3_int64 id = 0;
    sqlite3_int64 version = 0;
    sqlite3_int64 tables = 0;
    return QueryInt(db, "PRAGMA application_id", &id) && id == kApplicationId
        && QueryInt(db, "PRAGMA user_version", &version) && version == kSchemaVersion
        && QueryInt(db,
            "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('topic', 'item')", &tables)
        && tables == 2;
}

bool IsEmptyDatabase(sqlite3* db)
{
    sqlite3_int64 id = -1;
    sqlite3_int64 objects = -1;
    return QueryInt(db, "PRAGMA application_id", &id) && id == 0
        && QueryInt(db, "SELECT count(*) FROM sqlite_master", &objects) && objects == 0;
}

bool WriteSchema(sqlite3* db)
{
    const std::string script = std::string("BEGIN IMMEDIATE;") + kSchema
        + "PRAGMA application_id = " + std::to_string(kApplicationId) + ";"
        + "PRAGMA user_version = " + std::to_string(kSchemaVersion) + ";COMMIT;";
    if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

std::unique_ptr<QuireFile> OpenFile(const char* path, bool create)
{
    auto file = std::make_unique<QuireFile>();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path, &file->db, flags, nullptr) != SQLITE_OK)
        return nullptr;
    sqlite3_busy_timeout(file->db, kBusyTimeoutMs);
    // Every commit reaches the disk before it counts as done.
    sqlite3_exec(file->db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    if (IsQuireFile(file->db))
        return create ? nullptr : std::move(file);
    if (create && IsEmptyDatabase(file->db) && WriteSchema(file->db))
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
    quire_err = kNoError;
    return result;
}

bool FindTopicIn(const QuireFile& file, const char* topic, sqlite3_int64* id)
{
    Statement query(file.db, "SELECT id FROM topic WHERE name = ?1");
    if (query.Bind(1, topic).Step() != SQLITE_ROW)
        return false;
    *id = query.Int(0);
    return true;
}

bool FindItemIn(const QuireFile& file, sqlite3_int64 topic, const char* item, std::string* value)
{
    Statement query(file.db, "SELECT value FROM item WHERE topic = ?1 AND name = ?2");
    if (query.Bind(1, topic).Bind(2, item).Step() != SQLITE_ROW)
        return false;
    if (value)
        *value = query.Text(0);
    return true;
}

int AddFile(Quire* quire, const char* path, bool create)
{
    if (!quire)
        return Fail(kNullQuire);
    if (!path || !*path)
        return Fail(kNoFileName);
    std::unique_ptr<QuireFile> file = OpenFile(path, create);
    if (!file)
        return Fail(kOpenFailed);
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

// The most recently pushed file holding the topic, with the topic's row id.
QuireFile* FindTopic(Quire* quire, const char* topic, sqlite3_int64* id)
{
    if (!topic)
        return nullptr;
    for (auto file = quire->files.rbegin(); file != quire->files.rend(); ++file)
        if (FindTopicIn(**file, topic, id))
            return file->get();
    return nullptr;
}

// quire_err code of looking up an item's text.
int FindItem(Quire* quire, const char* topic, const char* item, std::string* value)
{
    if (!quire)
        return kNullQuire;
    if (quire->files.empty())
        return kNoFiles;
    sqlite3_int64 topicId = 0;
    const QuireFile* file = FindTopic(quire, topic, &topicId);
    if (!file)
        return kTopicNotFound;
    if (!item || !FindItemIn(*file, topicId, item, value))
        return kItemNotFound;
    return kNoError;
}

} // namespace

Quire* quire_open()
{
    Quire* quire = new (std::nothrow) Quire;
    quire_err = quire ? kNoError : kNullQuire;
    return quire;
}

int quire_close(Quire* quire)
{
    if (!quire)
        return Fail(kNullQuire);
    delete quire;
    return Succeed();
}

int quire_push_rfile(Quire* quire, const char* path) { return AddFile(quire, path, false); }

int quire_create_rfile(Quire* quire, const char* path) { return AddFile(quire, path, true); }

int quire_flush(Quire* quire)
{
    if (!quire)
        return Fail(kNullQuire);
    if (quire->files.empty())
        return Fail(kNoFiles);
    bool ok = true;
    for (auto& file : quire->files) {
        if (file->lost) {
            file->lost = false;
            ok = false;
        }
        if (!file->pending)
            continue;
        if (sqlite3_exec(file->db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
            file->pending = false;
        } else {
            // A busy file keeps its transaction for the next flush; anything else was rolled back.
            file->NoteFailure();
            file->lost = false;
            ok = false;
        }
    }
    return ok ? Succeed() : Fail(kFlushFailed);
}

int quire_search_topic(Quire* quire, const char* topic)
{
    if (!quire)
        return Fail(kNullQuire);
    if (quire->files.empty())
        return Fail(kNoFiles);
    sqlite3_int64 id = 0;
    return FindTopic(quire, topic, &id) ? Succeed() : Fail(kTopicNotFound);
}

int quire_add_topic(Quire* quire, int file, const char* topic, const char* comment)
{
    if (!quire)
        return Fail(kNullQuire);
    QuireFile* target = FileById(quire, file);
    if (!target)
        return Fail(kNoFileHandle);
    sqlite3_int64 id = 0;
    if (!topic || FindTopicIn(*target, topic, &id))
        return Fail(kTopicExists);
    if (!target->BeginWrite())
        return Fail(kTopicWriteFailed);
    Statement insert(target->db, "INSERT INTO topic(name, comment) VALUES(?1, ?2)");
    if (insert.Bind(1, topic).Bind(2, comment ? comment : "").Step() != SQLITE_DONE) {
        target->NoteFailure();
        return Fail(kTopicWriteFailed);
    }
    return Succeed();
}

int quire_remove_topic(Quire* quire, int file, const char* topic)
{
    if (!quire)
        return Fail(kNullQuire);
    QuireFile* target = FileById(quire, file);
    if (!target)
        return Fail(kNoFileHandle);
    sqlite3_int64 id = 0;
    if (!topic || !FindTopicIn(*target, topic, &id))
        return Fail(kChangedTopicNotFound);
    if (!target->BeginWrite())
        return Fail(kRemoveFailed);
    Savepoint change(*target);
    Statement items(target->db, "DELETE FROM item WHERE topic = ?1");
    Statement row(target->db, "DELETE FROM topic WHERE id = ?1");
    if (!change.Open() || items.Bind(1, id).Step() != SQLITE_DONE || row.Bind(1, id).Step() != SQLITE_DONE
        || !change.Release())
        return Fail(kRemoveFailed);
    return Succeed();
}

int quire_search(Quire* quire, const char* topic, const char* item, const char** value)
{
    std::string text;
    const int code = FindItem(quire, topic, item, &text);
    if (code != kNoError)
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
    if (code != kNoError)
        return Fail(code);
    return str_int_from_itemstr(text.c_str(), 0, value) == 0 ? Succeed() : Fail(kItemNotFound);
}

int quire_search_string(Quire* quire, const char* topic, const char* item, char* out, int size)
{
    std::string text;
    const int code = FindItem(quire, topic, item, &text);
    if (code != kNoError)
        return Fail(code);
    if (!out || size <= 0 || text.size() >= static_cast<std::size_t>(size))
        return Fail(kTooShort);
    std::memcpy(out, text.c_str(), text.size() + 1);
    return Succeed();
}

int quire_modify(Quire* quire, const char* topic, const char* item, const char* value)
{
    if (!quire)
        return Fail(kNullQuire);
    if (quire->files.empty())
        return Fail(kNoFiles);
    if (!item || !value)
        return Fail(kItemWriteFailed);
    sqlite3_int64 topicId = 0;
    QuireFile* file = FindTopic(quire, topic, &topicId);
    if (!file)
        return Fail(kChangedTopicNotFound);
    if (!FindItemIn(*file, topicId, item, nullptr))
        return Fail(kItemNotFound);
    if (!file->BeginWrite())
        return Fail(kItemWriteFailed);
    Statement update(file->db, "UPDATE item SET value = ?1 WHERE topic = ?2 AND name = ?3");
    if (update.Bind(1, value).Bind(2, topicId).Bind(3, item).Step() != SQLITE_DONE) {
        file->NoteFailure();
        return Fail(kItemWriteFailed);
    }
    return Succeed();
}

int quire_add_item(Quire* quire, const char* topic, const char* item, const char* value, const char* comment)
{
    if (!quire)
        return Fail(kNullQuire);
    if (quire->files.empty())
        return Fail(kNoFiles);
    if (!topic)
        return Fail(kItemTopicFailed);
    if (!item || !value)
        return Fail(kItemWriteFailed);
    sqlite3_int64 topicId = 0;
    QuireFile* file = FindTopic(quire, topic, &topicId);
    if (file && FindItemIn(*file, topicId, item, nullptr))
        return Fail(kItemExists);
    const bool newTopic = !file;
    if (newTopic)
        file = quire->files.back().get();
    if (!file->BeginWrite())
        return Fail(kItemWriteFailed);
    Savepoint change(*file);
    if (!change.Open())
        return Fail(kItemWriteFailed);
    if (newTopic) {
        Statement insert(file->db, "INSERT INTO topic(name, comment) VALUES(?1, '')");
        if (insert.Bind(1, topic).Step() != SQLITE_DONE)
            return Fail(kItemTopicFailed);
        topicId = sqlite3_last_insert_rowid(file->db);
    }
    Statement insert(file->db, "INSERT INTO item(topic, name, value, comment) VALUES(?1, ?2, ?3, ?4)");
    if (insert.Bind(1, topicId).Bind(2, item).Bind(3, value).Bind(4, comment ? comment : "").Step()
            != SQLITE_DONE
        || !change.Release())
        return Fail(kItemWriteFailed);
    return Succeed();
}

const char* quire_posat_topic(Quire* quire, int file, int position)
{
    if (!quire) {
        Fail(kNullQuire);
        return nullptr;
    }
    const QuireFile* source = FileById(quire, file);
    if (!source) {
        Fail(kNoFileHandle);
        return nullptr;
    }
    Statement query(source->db, "SELECT name FROM topic ORDER BY id LIMIT 1 OFFSET ?1");
    if (position < 0 || query.Bind(1, sqlite3_int64 { position }).Step() != SQLITE_ROW) {
        Fail(kEndOfTopics);
        return nullptr;
    }
    quire->topicName = query.Text(0);
    Succeed();
    return quire->topicName.c_str();
}

const char* quire_posat_item(Quire* quire, const char* topic, int position)
{
    if (!quire) {
        Fail(kNullQuire);
        return nullptr;
    }
    if (quire->files.empty()) {
        Fail(kNoFiles);
        return nullptr;
    }
    sqlite3_int64 topicId = 0;
    const QuireFile* file = FindTopic(quire, topic, &topicId);
    if (!file) {
        Fail(kTopicNotFound);
        return nullptr;
    }
    Statement query(file->db, "SELECT name FROM item WHERE topic = ?1 ORDER BY id LIMIT 1 OFFSET ?2");
    if (position < 0 || query.Bind(1, topicId).Bind(2, sqlite3_int64 { position }).Step() != SQLITE_ROW) {
        Fail(kEndOfItems);
        return nullptr;
    }
    quire->itemName = query.Text(0);
    Succeed();
    return quire->itemName.c_str();
}

int str_int_from_itemstr(const char* text, int index, int* value)
{
    return NumberFromItem(text, index, value);
}

int str_double_from_itemstr(const char* text, int index, double* value)
{
    return NumberFromItem(text, index, value, std::chars_format::general);
}
