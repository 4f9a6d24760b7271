// Where the library's messages go. By default each message is one line "source:line: text" and
// each warning one line "warning(level): text" on standard error; a host installs handlers of its
// own to log, collect or silence them, and can restore the default.
#ifndef TINTVALE_TMESSAGES_H
#define TINTVALE_TMESSAGES_H

#include <tintvale/texport.h>

extern "C" {

// A message for a person about a failure (the operation also returns its failure code): the
// complete text, the library source that raised it by name (such as "tcachefile" or
// "tilluminantfactory") and a line number there. context is the pointer installed with the handler.
typedef void (*TintvaleMessageHandler)(const char* message, const char* source, int line, void* context);
// A notice that does not fail the operation, such as an illuminant answered by another of a
// similar name; level 6 is the only level the library uses.
typedef void (*TintvaleWarningHandler)(int level, const char* message, void* context);

// Installs handler, with the context it is called with, for every later message of the process;
// a null handler restores the default. Texts are valid during the call only. Handlers are called
// on the thread that raised the message, possibly on several threads at once, and a replaced
// handler may still be running on another thread when these functions return.
TINTVALE_API void tintvale_set_message_handler(TintvaleMessageHandler handler, void* context);
TINTVALE_API void tintvale_set_warning_handler(TintvaleWarningHandler handler, void* context);
}

#endif
