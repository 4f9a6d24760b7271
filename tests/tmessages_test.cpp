// The exported message and warning handlers: what a host receives, and the default restored.
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tmessages.h>
#include <tintvale/tspectrum.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Collect(const char* message, const char* source, int line, void* context)
{
    static_cast<std::vector<std::string>*>(context)->push_back(
        std::string(source) + ":" + std::to_string(line) + ": " + message);
}

void CollectWarning(int level, const char* message, void* context)
{
    static_cast<std::vector<std::string>*>(context)->push_back(std::to_string(level) + ": " + message);
}

} // namespace

TEST(TMessages, HandlersReceiveTheSourceByNameAndNullRestoresTheDefault)
{
    TIlluminantFactory factory;
    factory.AddIlluminant(TSpectrum(std::vector<double>(36, 1.0).data()), "D50");
    std::vector<std::string> messages, warnings;
    tintvale_set_message_handler(Collect, &messages);
    tintvale_set_warning_handler(CollectWarning, &warnings);
    factory.GetIlluminant("none");
    factory.GetIlluminant("CIE Illuminant D50");
    EXPECT_EQ(messages,
        std::vector<std::string> { "tilluminantfactory:131: No Illuminant with this name available" });
    EXPECT_EQ(warnings,
        std::vector<std::string> {
            "6: Illuminant \"CIE Illuminant D50\" was replaced by illuminant \"D50\"" });

    tintvale_set_message_handler(nullptr, nullptr);
    tintvale_set_warning_handler(nullptr, nullptr);
    testing::internal::CaptureStderr();
    factory.GetIlluminant("none");
    factory.GetIlluminant("CIE Illuminant D50");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
        "tilluminantfactory:131: No Illuminant with this name available\n"
        "warning(6): Illuminant \"CIE Illuminant D50\" was replaced by illuminant \"D50\"\n");
}
