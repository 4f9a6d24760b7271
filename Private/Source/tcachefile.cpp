// TCacheFile: a persistent topic/item cache over the Quire store, with escaped keys and counters.
#include <tintvale/tcachefile.h>
#include <tintvale/tcms_illegalcharacters.h>

#include "halden.h"
#include "numtext.h"
#include "quire.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// The source named in messages.
constexpr char kSource[] = "tcachefile";

// Escaped in topic names and values: $ % blank . / \ * [ ] @ ? : | # < > " ;
const char kIllegalCharacters[] = "$% ./\\*[]@?:|#<>\";";
// Kept for the cache's own bookkeeping; never listed.
const char kReservedTopic[] = "_internal_";
// First guess for reading a value; longer values are read whole with a larger buffer.
constexpr int kValueBufferSize = 1024;

std::string Text(const char* text) { return text ? text : ""; }

void Report(const std::string& text) { orvane_quire_err(text.c_str()); }

bool IsStoreError(int quireErr) { return quireErr == kQuireLocked || quireErr == kQuireUnreadable; }

// Reports context with the store's reason for its last failure, and gives the matching result.
int Failure(const std::string& context)
{
    const int result = IsStoreError(quire_err) ? TCacheFile::StoreError : TCacheFile::Failed;
    Report(context);
    return result;
}

// Holds the file's write lock for one operation that reads what it then changes.
class WriteLock {
public:
    WriteLock(Quire* database, int file)
        : mDatabase(database)
        , mFile(file)
        , mHeld(quire_lock_rfile(database, file) != 0)
    { }
    ~WriteLock()
    {
        if (!mHeld)
            return;
        const int reason = quire_err;
        quire_unlock_rfile(mDatabase, mFile);
        quire_err = reason;
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool Held() const { return mHeld; }

private:
    Quire* mDatabase;
    int mFile;
    bool mHeld;
};

} // namespace

TCacheFile::TCacheFile(const char* fileName, const char* directory, bool report)
{
    SetToZero();
    mReport = report;
    mFileName = Text(fileName);
    mDirectory = Text(directory);
    const std::string path = mDirectory + mFileName;
    Open(path.c_str(), 0);
}

TCacheFile::TCacheFile(const char* path, int create, bool report)
{
    SetToZero();
    mReport = report;
    Open(path, create);
}

TCacheFile::~TCacheFile()
{
    if (mDatabase)
        quire_close(mDatabase);
}

void TCacheFile::Open(const char* path, int create)
{
    mPath = Text(path);
    mDatabase = quire_open();
    if (!mDatabase) {
        mError = 1;
        SetErrMsg("Cannot Create Quire", "", orvane_quire_err);
        return;
    }
    mFileId = quire_push_rfile(mDatabase, path);
    if (mFileId == 0 && create) {
        mFileId = quire_create_rfile(mDatabase, path);
        // Another process may have made it a cache file since the push.
        if (mFileId == 0)
            mFileId = quire_push_rfile(mDatabase, path);
    }
    if (mFileId == 0) {
        mError = 3;
        SetErrMsg("Unable to push file", path, nullptr);
    }
}

bool TCacheFile::operator==(const TCacheFile& other) const
{
    if (mDirectory.empty() || mFileName.empty() || other.mDirectory.empty() || other.mFileName.empty())
        return false;
    return strcmp_ci(mDirectory.c_str(), other.mDirectory.c_str()) == 0
        && strcmp_ci(mFileName.c_str(), other.mFileName.c_str()) == 0;
}

std::string TCacheFile::StoredTopic(const char* topic, bool encode) const
{
    if (!topic)
        return std::string();
    return encode ? TCMS_EncodeIllegalCharacters(std::string(topic), kIllegalCharacters) : std::string(topic);
}

int TCacheFile::AddTopic(const char* topic, bool encode)
{
    const std::string stored = StoredTopic(topic, encode);
    const char* key = topic ? stored.c_str() : nullptr;
    const std::string failed = "Unable to add topic : " + Text(topic) + " to the data base";
    WriteLock lock(mDatabase, mFileId);
    if (!lock.Held())
        return Failure(failed);
    if (key && quire_search_topic(mDatabase, key))
        return Failed;
    if (IsStoreError(quire_err))
        return Failure(failed);
    if (quire_add_topic(mDatabase, mFileId, key, ""))
        return Ok;
    return Failure(failed);
}

int TCacheFile::RemoveTopic(const char* topic, bool encode)
{
    const std::string stored = StoredTopic(topic, encode);
    if (quire_remove_topic(mDatabase, mFileId, topic ? stored.c_str() : nullptr))
        return Ok;
    return Failure("Unable to remove topic : " + Text(topic) + " to the data base");
}

int TCacheFile::AddItem(
    const char* topic, const char* item, const char* value, bool encodeTopic, bool encodeValue)
{
    const std::string stored = StoredTopic(topic, encodeTopic);
    const char* key = topic ? stored.c_str() : nullptr;
    // A copy: value may be a text this store handed out and replaces on a later call.
    std::string text;
    if (value)
        text = encodeValue ? TCMS_EncodeIllegalCharacters(std::string(value), kIllegalCharacters) : value;
    const char* storedValue = value ? text.c_str() : nullptr;
    const std::string addFailed = "Unable to add item " + Text(item) + " to topic " + Text(topic);
    WriteLock lock(mDatabase, mFileId);
    if (!lock.Held())
        return Failure(addFailed);
    if (quire_search(mDatabase, key, item, nullptr)) {
        if (quire_modify(mDatabase, key, item, storedValue))
            return Ok;
        return Failure("Unable to modify item " + Text(item) + " of topic " + Text(topic));
    }
    if (!IsStoreError(quire_err) && quire_add_item(mDatabase, key, item, storedValue, ""))
        return Ok;
    return Failure(addFailed);
}

int TCacheFile::AddItem(const char* topic, const char* item, int value, bool encodeTopic)
{
    return AddItem(topic, item, std::to_string(value).c_str(), encodeTopic, false);
}

int TCacheFile::AddItem(const char* topic, const char* item, double value, bool encodeTopic)
{
    // "%6.4f", independent of the host's locale.
    return AddItem(topic, item, tintvale::detail::FormatF(value, 6, 4).c_str(), encodeTopic, false);
}

int TCacheFile::ChangeIntItem(
    const char* topic, const char* item, int delta, int min, int max, bool encodeTopic)
{
    const std::string where = " item " + Text(item) + " of topic " + Text(topic);
    // Read under the write lock, so that no other process changes the value before this one.
    WriteLock lock(mDatabase, mFileId);
    if (!lock.Held())
        return Failure("Unable to change" + where);
    std::string text;
    const int read = ReadValue(topic, item, encodeTopic, &text);
    if (read == StoreError)
        return Failure("Cannot read" + where);
    // Summed wide: the clamp below brings the result back into range.
    long long value = delta;
    if (read == Ok) {
        int current = 0;
        if (str_int_from_itemstr(text.c_str(), 0, &current) != 0) {
            Report("No integer in" + where + ": " + text);
            return NotInteger;
        }
        value += current;
    }
    value = std::max<long long>(value, min);
    value = std::min<long long>(value, max);
    return AddItem(topic, item, static_cast<int>(value), encodeTopic);
}

int TCacheFile::CopyTopic(TCacheFile& source, const char* topic)
{
    // Read whole first: a source that cannot be read leaves this file as it was.
    std::vector<std::pair<std::string, std::string>> items;
    const char* value = nullptr;
    for (const char* item = source.ScanItems(topic, &value, 1); item;
         item = source.ScanItems(topic, &value, 0))
        items.emplace_back(item, value);
    if (source.ScanResult() != Ok)
        return source.ScanResult();
    WriteLock lock(mDatabase, mFileId);
    if (const int added = AddTopic(topic, false); added != Ok)
        return added;
    // Every item is tried; one that fails makes the whole copy fail.
    int result = Ok;
    for (const auto& [item, text] : items)
        if (const int added = AddItem(topic, item.c_str(), text.c_str(), false, false); added != Ok)
            result = added;
    return result;
}

int TCacheFile::ReadValue(const char* topic, const char* item, bool encodeTopic, std::string* value) const
{
    const std::string stored = StoredTopic(topic, encodeTopic);
    const char* key = topic ? stored.c_str() : nullptr;
    // The copying search leaves the text ScanItems handed out alone.
    std::vector<char> buffer(kValueBufferSize);
    while (!quire_search_string(mDatabase, key, item, buffer.data(), static_cast<int>(buffer.size()))) {
        if (IsStoreError(quire_err))
            return StoreError;
        if (quire_err != kQuireTooShort || buffer.size() > static_cast<std::size_t>(INT_MAX / 2))
            return Failed;
        buffer.resize(buffer.size() * 2);
    }
    *value = buffer.data();
    return Ok;
}

int TCacheFile::Search(
    const char* topic, const char* item, char* out, int size, bool encodeTopic, bool decodeValue) const
{
    std::string value;
    if (!out || size <= 0)
        return Failed;
    if (const int read = ReadValue(topic, item, encodeTopic, &value); read != Ok)
        return read == StoreError ? Failure("Cannot read item " + Text(item) + " of topic " + Text(topic))
                                  : read;
    if (decodeValue)
        value = TCMS_DecodeIllegalCharacters(value, kIllegalCharacters);
    if (value.size() >= static_cast<std::size_t>(size)) {
        Report("Value of item " + Text(item) + " of topic " + Text(topic) + " does not fit in "
            + std::to_string(size) + " characters");
        return Failed;
    }
    std::memcpy(out, value.c_str(), value.size() + 1);
    return Ok;
}

int TCacheFile::Search(const char* topic, const char* item, int* out, int index, bool encodeTopic, bool) const
{
    std::string value;
    if (const int read = ReadValue(topic, item, encodeTopic, &value); read != Ok)
        return read == StoreError ? Failure("Cannot read item " + Text(item) + " of topic " + Text(topic))
                                  : read;
    return str_int_from_itemstr(value.c_str(), index, out);
}

int TCacheFile::Search(
    const char* topic, const char* item, double* out, int index, bool encodeTopic, bool) const
{
    std::string value;
    if (const int read = ReadValue(topic, item, encodeTopic, &value); read != Ok)
        return read == StoreError ? Failure("Cannot read item " + Text(item) + " of topic " + Text(topic))
                                  : read;
    return str_double_from_itemstr(value.c_str(), index, out);
}

const char* TCacheFile::ScanTopics(const char* needle, int restart)
{
    if (restart)
        ScanTopicsInit();
    mScanResult = Ok;
    const std::size_t skip = needle ? std::strlen(needle) : 0;
    while (const char* name = quire_posat_topic(mDatabase, mFileId, mTopicPosition)) {
        ++mTopicPosition;
        if (strcmp_ci(name, kReservedTopic) == 0)
            continue;
        // Only topics that start with the needle count; the rest of the name is the answer.
        if (!needle || std::strncmp(name, needle, skip) == 0)
            return name + skip;
    }
    if (IsStoreError(quire_err))
        mScanResult = Failure("Cannot read the topics of resource file " + FileName());
    return nullptr;
}

const char* TCacheFile::ScanItems(const char* topic, const char** value, int restart)
{
    if (restart)
        ScanItemsInit();
    const char* ignored = nullptr;
    if (!value)
        value = &ignored;
    *value = nullptr;
    mScanResult = Ok;
    // Name and value in one step.
    const char* item = quire_posat_item_value(mDatabase, topic, mItemPosition, value);
    if (!item) {
        if (IsStoreError(quire_err))
            mScanResult = Failure("Cannot read the items of topic " + Text(topic));
        return nullptr;
    }
    ++mItemPosition;
    return item;
}

int TCacheFile::Save()
{
    if (quire_flush(mDatabase))
        return Ok;
    Report("Cannot flush resource file " + FileName());
    return Failed;
}

int TCacheFile::SetWait(int milliseconds) { return quire_set_wait(mDatabase, milliseconds) ? Ok : Failed; }

std::string TCacheFile::FileName() const { return mFileName.empty() ? mPath : mFileName; }

int TCacheFile::ScanTopicsInit()
{
    mTopicPosition = 0;
    return 0;
}

int TCacheFile::ScanItemsInit()
{
    mItemPosition = 0;
    return 0;
}

int TCacheFile::SetToZero()
{
    mFileName.clear();
    mDirectory.clear();
    mError = 0;
    mTopicPosition = 0;
    mItemPosition = 0;
    mScanResult = Ok;
    mReport = false;
    mDatabase = nullptr;
    mFileId = 0;
    mPath.clear();
    return 0;
}

int TCacheFile::SetErrMsg(const char* text1, const char* text2, int (*handler)(const char*))
{
    if (!mReport)
        return 0;
    std::string text;
    if (text1 && text2)
        text = std::string(text1) + " " + text2;
    else
        text = Text(text1 ? text1 : text2);
    if (handler)
        handler(text.c_str());
    else
        error_mess_fl(text.c_str(), kSource, __LINE__);
    return 0;
}
