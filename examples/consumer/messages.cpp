// A host that takes the library's messages into its own log instead of standard error, then gives
// them back to the default.
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tmessages.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Collect(const char* message, const char* source, int line, void* context)
{
    auto* log = static_cast<std::vector<std::string>*>(context);
    log->push_back(std::string(source) + ":" + std::to_string(line) + ": " + message);
}

} // namespace

int main()
{
    std::vector<std::string> log;
    tintvale_set_message_handler(Collect, &log);
    TIlluminantFactory factory;
    const bool found = factory.GetIlluminant("no such lamp") != nullptr;
    tintvale_set_message_handler(nullptr, nullptr);
    factory.GetIlluminant("no such lamp");

    const std::string expected = "tilluminantfactory:131: No Illuminant with this name available";
    for (const std::string& line : log)
        std::printf("captured: %s\n", line.c_str());
    if (found || log.size() != 1 || log[0] != expected) {
        std::fprintf(stderr, "expected exactly one captured message: %s\n", expected.c_str());
        return 1;
    }
    return 0;
}
