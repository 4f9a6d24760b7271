// Quire: named topics holding named items with text values, kept in resource files.
//
// A quire is a stack of open resource files; each file is one SQLite database holding its topics
// and their items in the order they were added. Lookups by topic go through the files from the
// most recently pushed to the first. Changes are kept in a pending transaction per file and become
// durable together at quire_flush; quire_close discards what was not flushed. A crash or kill at
// any moment leaves every file with either its previous or its newly flushed content.
//
// Every operation returning int gives non-zero for success and 0 for failure, except the two
// str_*_from_itemstr parsers (0 for success, -1 for failure). Each quire_* operation sets
// quire_err: 0 on success, else one of the codes below; the parsers leave it alone.
//
// Returned texts are owned by the quire and stay valid until the next call of the same operation
// on the same quire, or quire_close.
#ifndef OUTSIDE_QUIRE_H
#define OUTSIDE_QUIRE_H

struct Quire;

// Codes of quire_err.
enum QuireError : int {
    kQuireNoError = 0,
    kQuireNoFileName = 1, // null or empty path
    kQuireOpenFailed = 2, // the file cannot be opened, is not a quire file, or cannot be created
    kQuireNull = 4, // a null quire
    kQuireNoFiles = 5, // the quire holds no files
    kQuireNoFileHandle = 6, // no file with that id
    kQuireTopicExists = 7, // quire_add_topic
    kQuireItemExists = 8, // quire_add_item
    kQuireTopicWriteFailed = 9,
    kQuireItemWriteFailed = 10, // also a null item name or value
    kQuireItemTopicFailed = 11, // the topic of a new item cannot be added
    kQuireFlushFailed = 12, // a pending transaction cannot be committed
    kQuireEndOfTopics = 13, // topic position past the end
    kQuireEndOfItems = 14, // item position past the end
    kQuireTopicNotFound = 15, // searches
    kQuireItemNotFound = 17, // also not a number (quire_search_int)
    kQuireTooShort = 18, // the destination is too short
    kQuireChangedTopicNotFound = 19, // changes
    kQuireRemoveFailed = 20, // the topic or its items cannot be removed
    // The file is locked by another process for longer than the wait, or cannot be read or written
    // (an I/O error, a damaged file). A search or position that fails so says nothing about whether
    // the entry exists.
    kQuireLocked = 21,
    kQuireUnreadable = 22,
};

// Code of the last operation's failure, kQuireNoError after a success. One per thread.
extern thread_local int quire_err;

// A new, empty quire; null only when memory runs out.
Quire* quire_open();
// Discards pending changes, closes every file and frees the quire.
int quire_close(Quire* quire);

// Opens an existing quire file at path (UTF-8) and puts it on top; returns its file id (> 0).
// Files that are not quire files, and missing files, are refused.
int quire_push_rfile(Quire* quire, const char* path);
// Creates a quire file at path and puts it on top; returns its file id. The new file holds an
// empty store at once. An existing file is accepted only when it is empty (0 bytes); anything
// else at path is refused and left as it is.
int quire_create_rfile(Quire* quire, const char* path);
// Commits the pending changes of every file, each in one transaction.
int quire_flush(Quire* quire);
// How long an operation waits for another process's lock on one of the files (5000 ms at first),
// for the files open now and those opened later. Several processes may use one file: each change
// takes the file's write lock before it reads what it changes, and keeps it until the flush.
int quire_set_wait(Quire* quire, int milliseconds);
// Takes the write lock of the file now (waiting as above), so that what is read next cannot change
// before the flush; quire_unlock_rfile gives it back when no change was made since.
int quire_lock_rfile(Quire* quire, int file);
int quire_unlock_rfile(Quire* quire, int file);

// Non-zero when some file holds the topic.
int quire_search_topic(Quire* quire, const char* topic);
// Adds an empty topic to the given file; fails when that file holds it already.
int quire_add_topic(Quire* quire, int file, const char* topic, const char* comment);
// Removes a topic and all its items from the given file.
int quire_remove_topic(Quire* quire, int file, const char* topic);

// Finds the item; *value (when value is non-null) receives its text. With a null value the
// text handed out before stays valid.
int quire_search(Quire* quire, const char* topic, const char* item, const char** value);
// Finds the item and reads the first number of its text as an int.
int quire_search_int(Quire* quire, const char* topic, const char* item, int* value);
// Copies the item's text with its terminating zero into out, which holds size characters;
// when the text does not fit, out is left alone and quire_err is 18.
int quire_search_string(Quire* quire, const char* topic, const char* item, char* out, int size);
// Replaces the text of an existing item.
int quire_modify(Quire* quire, const char* topic, const char* item, const char* value);
// Appends a new item to the topic, adding the topic to the top file when no file holds it.
int quire_add_item(Quire* quire, const char* topic, const char* item, const char* value, const char* comment);

// Name of the topic at position (0, 1, ...) in the given file, in the order topics were added;
// null past the end. Asking for the position after the one asked last steps on from there, so a
// scan from the first position is linear in the number of entries.
const char* quire_posat_topic(Quire* quire, int file, int position);
// Name of the item at position in the topic, in the order items were added; null past the end.
const char* quire_posat_item(Quire* quire, const char* topic, int position);
// The same, and *value (when value is non-null) receives the item's text, as from quire_search.
const char* quire_posat_item_value(Quire* quire, const char* topic, int position, const char** value);

// Reads the index-th (0, 1, ...) of the numbers in an item text, separated by white space or
// commas. The whole number must be valid: "12" is an int, "12.5" only a double. 0, or -1 when
// there is no such number (out of range for an int included).
int str_int_from_itemstr(const char* text, int index, int* value);
int str_double_from_itemstr(const char* text, int index, double* value);

#endif
