// The exported message and warning handlers: what a host receives, and the default restored.
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tmessages.h>
#include <tintvale/tspectrum.h>

#include <gtest/gtest.h>

#include <functional>
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
    const double negativeWhite[] = { 96.42, -1.0, 82.49 };
    TIlluminantFactory factory;
    factory.AddIlluminant(TSpectrum(std::vector<double>(36, 1.0).data()), "D50");
    // Each row raises one message; the source is named as the design names it, never a path.
    const struct {
        std::function<void()> raise;
        const char* expected;
    } cases[] = {
        { [] { TMeasGeom::GetGeometryName(99); }, "tmeasgeom:" },
        { [&] { TLabSpace space(negativeWhite); }, "tlabspace:" },
        { [&] { factory.GetIlluminant("none"); },
            "tilluminantfactory:131: No Illuminant with this name available" },
    };
    std::vector<std::string> messages;
    std::vector<std::string> warnings;
    tintvale_set_message_handler(Collect, &messages);
    tintvale_set_warning_handler(CollectWarning, &warnings);
    for (const auto& c : cases) {
        messages.clear();
        c.raise();
        EXPECT_EQ(messages.size() == 1 ? messages[0].rfind(c.expected, 0) : 1u, 0u) << c.expected;
    }
    factory.GetIlluminant("CIE Illuminant D50");
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
