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
// not a cache file) or created. Operations return a Result: Ok (0) for success, Failed (-1) as
// each operation says (absent, present already, ...), StoreError (-2) when the file could not be
// read or written (locked by another process for longer than the wait, an I/O error, a damaged
// file), which says nothing about whether an entry exists; NotInteger (-3) from ChangeIntItem.
// Failed changes and every StoreError are reported through orvane_quire_err; nothing is written
// that was derived from a read that failed. Texts of any length are handled whole. Texts returned
// by ScanTopics and ScanItems are owned by the object and stay valid until its next call of the
// same operation.
//
// Sharing: not copyable (the object owns its open file), and one object is used from one thread
// at a time; threads and processes each open their own object. Any number of objects and
// processes may open one file at once; two creating it at once both succeed. A change takes the
// file's write lock before it reads what it changes and keeps it until Save (or the destruction
// that discards the change), so read-modify-write operations such as ChangeIntItem count every
// change of every process. Meanwhile readers see the last saved content, and changes through
// other objects wait for the lock up to the wait (5 seconds unless SetWait says otherwise), then
// fail with StoreError. Save soon after changing when others share the file.
class TINTVALE_API TCacheFile {
public:
    enum Result : int { Ok = 0, Failed = -1, StoreError = -2, NotInteger = -3 };

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
    // Stores the item's integer plus delta (delta alone when the item is absent), raised to min
    // and then lowered to max; with min > max the result is max. NotInteger, leaving the value as
    // it is, when the value does not start with an integer. Atomic across processes.
    int ChangeIntItem(const char* topic, const char* item, int delta, int min, int max, bool encodeTopic);
    // Copies topic (unescaped names) with all its items from source, whose item scan it uses.
    // -1 when this file has the topic already; StoreError, writing nothing, when source cannot be
    // read.
    int CopyTopic(TCacheFile& source, const char* topic);

    // Copies the value with its terminating zero into out (size characters), decoded when
    // decodeValue is set. -1 when the item is absent (out untouched) or the value does not fit
    // (reported; out untouched).
    int Search(
        const char* topic, const char* item, char* out, int size, bool encodeTopic, bool decodeValue) const;
    // Reads the index-th (0, 1, ...) number of the value, separated by white space or commas.
    // -1 when the item is absent or holds no such number. The last flag is not used.
    // Every Search gives StoreError when the file could not be read.
    int Search(const char* topic, const char* item, int* out, int index, bool encodeTopic, bool unused) const;
    int Search(
        const char* topic, const char* item, double* out, int index, bool encodeTopic, bool unused) const;

    // The next topic name as stored (escaped), or null at the end; restart non-zero starts from
    // the first. With a needle, only topics starting with it count, and the part after the needle
    // is returned.
    const char* ScanTopics(const char* needle, int restart);
    // The next item name of topic (as stored, not escaped here), or null at the end; *value
    // receives its value (null with a null result). restart non-zero starts from the first. A
    // whole scan takes time linear in the number of items.
    const char* ScanItems(const char* topic, const char** value, int restart);
    // After ScanTopics or ScanItems: Ok, or StoreError when that call gave null because the file
    // could not be read (reported) rather than because the scan was complete.
    int ScanResult() const { return mScanResult; }
    // How long operations wait for another process's lock on the file (5000 ms at first).
    int SetWait(int milliseconds);

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
    // For messages: the file name, or the path for objects made from one.
    std::string FileName() const;
    // The whole value of an item: Ok, Failed when it is absent, or StoreError.
    int ReadValue(const char* topic, const char* item, bool encodeTopic, std::string* value) const;

    std::string mFileName;
    std::string mDirectory;
    int mError = 0;
    int mTopicPosition = 0;
    int mItemPosition = 0;
    int mScanResult = Ok;
    bool mReport = false;
    Quire* mDatabase = nullptr;
    int mFileId = 0;
    // The file's path, for messages.
    std::string mPath;
};

#endif
