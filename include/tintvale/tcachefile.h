// TCacheFile: a persistent cache of named topics holding named items with text values, kept in a
// file of the topic/item store; and orvane_quire_err, which reports the store's failures.
#ifndef TINTVALE_TCACHEFILE_H
#define TINTVALE_TCACHEFILE_H

#include <tintvale/texport.h>

#include <string>

struct Quire;

// Reports context through the library's message sink, followed by the store's reason for its last
// failure when there is one (" : " and the reason, or " : quire-error no : " and the code), and
// clears that reason. A null context counts as empty. Always returns 0.
extern "C" TINTVALE_API int orvane_quire_err(const char* context);

// A cache file: topics, each with items whose values are texts (integers are stored as "%d",
// doubles as "%6.4f"). Nothing reaches the disk before Save, which writes all changes made since
// the last Save at once; destroying the object without Save discards them. A crash at any moment
// leaves the file with the content of one Save or the one before.
//
// Topic names and string values may be escaped on the way in (the encode flags) with the
// eighteen characters $ % blank . / \ * [ ] @ ? : | # < > " ; so that any text can be a key;
// item names are never escaped. Topics and items come back in the order they were added. The
// topic "_internal_" (any letter case) is reserved and never returned by ScanTopics.
//
// ErrNo: 0 usable; 1 the store could not be set up; 3 the file could not be opened (missing, or
// not a cache file) or created. Operations return 0 for success and -1 for failure; failed changes
// are reported through orvane_quire_err. Texts of any length are handled whole. Texts returned
// by ScanTopics and ScanItems are owned by the object and stay valid until its next call of the
// same operation.
//
// Not copyable: the object owns its open file. Use from one thread at a time. Several objects or
// processes may open the same file; while one holds unsaved changes, changes through another wait
// up to 5 seconds for its Save and then fail.
class TINTVALE_API TCacheFile {
public:
    // Opens the cache file directory + fileName (no separator is inserted); it must exist.
    // report: whether construction failures and unreadable items in ScanItems are reported.
    TCacheFile(const char* fileName, const char* directory, bool report);
    // Opens the cache file at path; when that fails and create is non-zero, creates it.
    TCacheFile(const char* path, int create, bool report);
    virtual ~TCacheFile();
    TCacheFile(const TCacheFile&) = delete;
    TCacheFile& operator=(const TCacheFile&) = delete;

    // True when both were made from a non-empty directory and file name and those are equal
    // ignoring ASCII letter case; objects made from a path never compare equal.
    bool operator==(const TCacheFile& other) const;
    int ErrNo() const { return mError; }

    // -1 without a message when the topic exists already.
    int AddTopic(const char* topic, bool encode);
    // Removes the topic with all its items.
    int RemoveTopic(const char* topic, bool encode);
    // Sets the item to value, adding the item (and its topic, when absent) as needed.
    int AddItem(const char* topic, const char* item, const char* value, bool encodeTopic, bool encodeValue);
    int AddItem(const char* topic, const char* item, int value, bool encodeTopic);
    int AddItem(const char* topic, const char* item, double value, bool encodeTopic);
    // Stores the item's integer plus delta (delta alone when the item is absent or no integer),
    // raised to min and then lowered to max; with min > max the result is max.
    int ChangeIntItem(const char* topic, const char* item, int delta, int min, int max, bool encodeTopic);
    // Copies topic (unescaped names) with all its items from source, whose item scan it uses.
    // -1 when this file has the topic already.
    int CopyTopic(TCacheFile& source, const char* topic);

    // Copies the value with its terminating zero into out (size characters), decoded when
    // decodeValue is set. -1 when the item is absent (out untouched) or the value does not fit
    // (reported; out untouched).
    int Search(
        const char* topic, const char* item, char* out, int size, bool encodeTopic, bool decodeValue) const;
    // Reads the index-th (0, 1, ...) number of the value, separated by white space or commas.
    // -1 when the item is absent or holds no such number. The last flag is not used.
    int Search(const char* topic, const char* item, int* out, int index, bool encodeTopic, bool unused) const;
    int Search(
        const char* topic, const char* item, double* out, int index, bool encodeTopic, bool unused) const;

    // The next topic name as stored (escaped), or null at the end; restart non-zero starts from
    // the first. With a needle, only topics starting with it count, and the part after the needle
    // is returned.
    const char* ScanTopics(const char* needle, int restart);
    // The next item name of topic (as stored, not escaped here), or null at the end; *value
    // receives its value, or null when it cannot be read. restart non-zero starts from the first.
    const char* ScanItems(const char* topic, const char** value, int restart);

    // Writes every change since the last Save to the file in one step.
    int Save();
    int InitSave() { return 0; }

protected:
    int ScanTopicsInit();
    int ScanItemsInit();
    // Clears every member without releasing anything: only for an object that holds no database.
    int SetToZero();
    // When reporting, joins the texts ("%s %s", or the one given) and hands them to handler, or
    // to the message sink when handler is null. Returns 0.
    int SetErrMsg(const char* text1, const char* text2, int (*handler)(const char*));

private:
    void Open(const char* path, int create);
    std::string StoredTopic(const char* topic, bool encode) const;
    // The whole value of an item; false when it is absent.
    bool ReadValue(const char* topic, const char* item, bool encodeTopic, std::string* value) const;

    std::string mFileName;
    std::string mDirectory;
    int mError = 0;
    int mTopicPosition = 0;
    int mItemPosition = 0;
    bool mReport = false;
    Quire* mDatabase = nullptr;
    int mFileId = 0;
    // The file's path, for messages.
    std::string mPath;
};

#endif
