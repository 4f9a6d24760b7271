// orvane_quire_err: reports a failure of the cache file's store together with the store's reason.
#include <tintvale/tcachefile.h>

#include "halden.h"
#include "quire.h"

#include <string>

namespace {

// The store's reasons, indexed by quire_err.
const char* const kQuireMessages[] = {
    "No errors encountered",
    "No resource file specified",
    "Failed to open resource file",
    "No entries in table",
    "A null pointer as quire pointer",
    "There are no files in quire",
    "No resource file handle",
    "Failed to add a topic",
    "Failed to add an item",
    "Failed to create a topic",
    "Failed to create an item",
    "Failed to append item to topic",
    "Failed to flush data tp disk",
    "End of topic list reached",
    "End of item list reached",
    "Topic not found in database",
    "Too many indirection",
    "Item not found in database",
    "The destination string is too short",
    "Topic not found in database",
    "Failed to remove an item",
    "Resource file locked by another process",
    "Failed to read or write resource file",
};
constexpr int kNrQuireMessages = static_cast<int>(sizeof kQuireMessages / sizeof kQuireMessages[0]);

} // namespace

int orvane_quire_err(const char* context)
{
    std::string text = context ? context : "";
    const int code = quire_err;
    if (code > 0 && code < kNrQuireMessages)
        text += std::string(" : ") + kQuireMessages[code];
    else if (code != 0)
        text += " : quire-error no : " + std::to_string(code);
    quire_err = 0;
    error_mess_fl(text.c_str(), "orvane_quire_err", __LINE__);
    return 0;
}
