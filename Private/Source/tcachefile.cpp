// TCacheFile: a persistent topic/item cache over the Quire store, with escaped keys and counters.
#include <tintvale/tcachefile.h>
#include <tintvale/tcms_illegalcharacters.h>

#include "halden.h"
#include "numtext.h"
#include "quire.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

// Escaped in topic names and values: $ % blank . / \ * [ ] @ ? : | # < > " ;
const char kIllegalCharacters[] = "$% ./\\*[]@?:|#<>\";";
// Kept for the cache's own bookkeeping; never listed.
const char kReservedTopic[] = "_internal_";
// First guess for reading a value; longer values are read whole with a larger buffer.
constexpr int kValueBufferSize = 1024;
// quire_err when a value does not fit the buffer given.
constexpr int kQuireTooShort = 18;

std::string Text(const char* text) { return text ? text : ""; }

void Report(const std::string& text) { orvane_quire_err(text.c_str()); }

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
    if (mFileId == 0 && create)
        mFileId = quire_create_rfile(mDatabase, path);
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
    if (key && quire_search_topic(mDatabase, key))
        return -1;
    if (quire_add_topic(mDatabase, mFileId, key, ""))
        return 0;
    Report("Unable to add topic : " + Text(topic) + " to the data base");
    return -1;
}

int TCacheFile::RemoveTopic(const char* topic, bool encode)
{
    const std::string stored = StoredTopic(topic, encode);
    if (quire_remove_topic(mDatabase, mFileId, topic ? stored.c_str() : nullptr))
        return 0;
    Report("Unable to remove topic : " + Text(topic) + " to the data base");
    return -1;
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
    if (quire_search(mDatabase, key, item, nullptr)) {
        if (quire_modify(mDatabase, key, item, storedValue))
            return 0;
        Report("Unable to modify item " + Text(item) + " of topic " + Text(topic));
        return -1;
    }
    if (quire_add_item(mDatabase, key, item, storedValue, ""))
        return 0;
    Report("Unable to add item " + Text(item) + " to topic " + Text(topic));
    return -1;
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
    const std::string stored = StoredTopic(topic, encodeTopic);
    // Summed wide: the clamp below brings the result back into range.
    long long value = delta;
    int current = 0;
    if (topic && quire_search_int(mDatabase, stored.c_str(), item, &current))
        value += current;
    value = std::max<long long>(value, min);
    value = std::min<long long>(value, max);
    return AddItem(topic, item, static_cast<int>(value), encodeTopic);
}

int TCacheFile::CopyTopic(TCacheFile& source, const char* topic)
{
    if (AddTopic(topic, false) != 0)
        return -1;
    // Every item is tried; one that fails makes the whole copy fail.
    int result = 0;
    const char* value = nullptr;
    for (const char* item = source.ScanItems(topic, &value, 1); item;
         item = source.ScanItems(topic, &value, 0))
        if (AddItem(topic, item, value, false, false) != 0)
            result = -1;
    return result;
}

bool TCacheFile::ReadValue(const char* topic, const char* item, bool encodeTopic, std::string* value) const
{
    const std::string stored = StoredTopic(topic, encodeTopic);
    const char* key = topic ? stored.c_str() : nullptr;
    // The copying search leaves the text ScanItems handed out alone.
    std::vector<char> buffer(kValueBufferSize);
    while (!quire_search_string(mDatabase, key, item, buffer.data(), static_cast<int>(buffer.size()))) {
        if (quire_err != kQuireTooShort || buffer.size() > static_cast<std::size_t>(INT_MAX / 2))
            return false;
        buffer.resize(buffer.size() * 2);
    }
    *value = buffer.data();
    return true;
}

int TCacheFile::Search(
    const char* topic, const char* item, char* out, int size, bool encodeTopic, bool decodeValue) const
{
    std::string value;
    if (!out || size <= 0 || !ReadValue(topic, item, encodeTopic, &value))
        return -1;
    if (decodeValue)
        value = TCMS_DecodeIllegalCharacters(value, kIllegalCharacters);
    if (value.size() >= static_cast<std::size_t>(size)) {
        Report("Value of item " + Text(item) + " of topic " + Text(topic) + " does not fit in "
            + std::to_string(size) + " characters");
        return -1;
    }
    std::memcpy(out, value.c_str(), value.size() + 1);
    return 0;
}

int TCacheFile::Search(const char* topic, const char* item, int* out, int index, bool encodeTopic, bool) const
{
    std::string value;
    if (!ReadValue(topic, item, encodeTopic, &value))
        return -1;
    return str_int_from_itemstr(value.c_str(), index, out);
}

int TCacheFile::Search(
    const char* topic, const char* item, double* out, int index, bool encodeTopic, bool) const
{
    std::string value;
    if (!ReadValue(topic, item, encodeTopic, &value))
        return -1;
    return str_double_from_itemstr(value.c_str(), index, out);
}

const char* TCacheFile::ScanTopics(const char* needle, int restart)
{
    if (restart)
        ScanTopicsInit();
    const std::size_t skip = needle ? std::strlen(needle) : 0;
    while (const char* name = quire_posat_topic(mDatabase, mFileId, mTopicPosition)) {
        ++mTopicPosition;
        if (strcmp_ci(name, kReservedTopic) == 0)
            continue;
        // Only topics that start with the needle count; the rest of the name is the answer.
        if (!needle || std::strncmp(name, needle, skip) == 0)
            return name + skip;
    }
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
    const char* item = quire_posat_item(mDatabase, topic, mItemPosition);
    if (!item)
        return nullptr;
    if (!quire_search(mDatabase, topic, item, value)) {
        *value = nullptr;
        SetErrMsg("Cannot get item Value for item ", item, orvane_quire_err);
    }
    ++mItemPosition;
    return item;
}

int TCacheFile::Save()
{
    if (quire_flush(mDatabase))
        return 0;
    Report("Cannot flush resource file " + (mFileName.empty() ? mPath : mFileName));
    return -1;
}

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
        error_mess_fl(text.c_str(), __FILE__, __LINE__);
    return 0;
}
