// The exported way for hosts to install the message and warning handlers of the outside sinks.
#include <tintvale/tmessages.h>

#include "halden.h"

void tintvale_set_message_handler(TintvaleMessageHandler handler, void* context)
{
    if (!handler) {
        halden_set_message_handler(nullptr);
        return;
    }
    halden_set_message_handler([handler, context](const char* message, const char* source, int line) {
        handler(message, source, line, context);
    });
}

void tintvale_set_warning_handler(TintvaleWarningHandler handler, void* context)
{
    if (!handler) {
        halden_set_warning_handler(nullptr);
        return;
    }
    halden_set_warning_handler(
        [handler, context](int level, const char* message) { handler(level, message, context); });
}
