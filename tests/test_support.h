// Shared test helpers: capture what the library hands to the message and warning sinks.
#ifndef TINTVALE_TESTS_TEST_SUPPORT_H
#define TINTVALE_TESTS_TEST_SUPPORT_H

#include "halden.h"

#include <string>
#include <vector>

struct CapturedMessage {
    std::string text;
    std::string file;
    int line = 0;
};

// Installs capturing sinks for its lifetime and restores the previous ones after.
class MessageCapture {
public:
    MessageCapture()
    {
        mOldMessage = halden_set_message_handler([this](const char* text, const char* file, int line) {
            messages.push_back({ text, file, line });
        });
        mOldWarning = halden_set_warning_handler([this](int level, const char* text) {
            warnings.push_back({ text, "", level });
        });
    }
    ~MessageCapture()
    {
        halden_set_message_handler(mOldMessage);
        halden_set_warning_handler(mOldWarning);
    }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    std::vector<CapturedMessage> messages;
    std::vector<CapturedMessage> warnings; // line holds the warning level

private:
    HaldenMessageHandler mOldMessage;
    HaldenWarningHandler mOldWarning;
};

#endif
