// Patch roles told by device values, as control strips lay them out: paper, solids, two- and
// three-colour overprints, CMY grey balance and single-channel tints.
#include <tintvale/qc/roles.h>

#include <algorithm>
#include <cmath>

namespace tintvale::qc {

namespace {

// A channel reads as empty below half a percent and as full above 99.5 %, as the library tells a
// solid ink patch.
constexpr double kEmpty = 0.5;
constexpr double kFull = 99.5;

bool Empty(double v) { return v < kEmpty; }
bool Full(double v) { return v > kFull; }

const char* const kRoleNames
    = "all, names:ID,..., paper, solids, solids:CHANNEL, overprints, cmy-grey, tints:CHANNEL";
const char* const kCmykChannels[] = { "C", "M", "Y", "K" };
const char* const kChannelNames = "C, M, Y, K, or 1, 2, ... for n-colour";

// C, M, Y, K, or the number of an n-colour channel from 1.
bool IsChannelName(const std::string& name)
{
    if (std::find(std::begin(kCmykChannels), std::end(kCmykChannels), name) != std::end(kCmykChannels))
        return true;
    return !name.empty() && name.size() < 4 && name[0] != '0'
        && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

Role ParseRole(const std::string& text)
{
    Role role;
    role.text = text;
    const std::size_t colon = text.find(':');
    const std::string head = text.substr(0, colon);
    const std::string tail = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    const bool hasTail = colon != std::string::npos;
    if (head == "names" && hasTail) {
        role.kind = Role::Names;
        for (std::size_t start = 0; start <= tail.size();) {
            const std::size_t comma = std::min(tail.find(',', start), tail.size());
            if (comma > start)
                role.names.push_back(tail.substr(start, comma - start));
            start = comma + 1;
        }
        // A name listed twice would count its patch twice.
        for (std::size_t i = 0; i < role.names.size(); ++i)
            if (std::find(
                    role.names.begin(), role.names.begin() + static_cast<std::ptrdiff_t>(i), role.names[i])
                != role.names.begin() + static_cast<std::ptrdiff_t>(i))
                throw Error("role \"" + text + "\" names \"" + role.names[i] + "\" twice");
        if (!role.names.empty())
            return role;
    } else if ((head == "tints" || head == "solids") && hasTail && !tail.empty()) {
        role.kind = head == "tints" ? Role::Tints : Role::Solids;
        role.channel = tail;
        if (!IsChannelName(tail))
            throw Error("role \"" + text + "\": unknown channel \"" + tail + "\" (" + kChannelNames + ")");
        return role;
    } else if (!hasTail) {
        const struct {
            const char* name;
            Role::Kind kind;
        } plain[] = { { "all", Role::All }, { "paper", Role::Paper }, { "solids", Role::Solids },
            { "overprints", Role::Overprints }, { "cmy-grey", Role::CmyGrey } };
        for (const auto& p : plain)
            if (text == p.name) {
                role.kind = p.kind;
                return role;
            }
    }
    throw Error("unknown role \"" + text + "\" (known: " + kRoleNames + ")");
}

DeviceValues::DeviceValues(const Chart& chart, int table)
{
    const TCgats& cgats = chart.Cgats();
    if (!cgats.ContainsProcessColors(table))
        return;
    const int n = cgats.GetNrProcessColors(table);
    if (n < 1)
        return;
    mCmyk = cgats.IsCMYKDefined(table);
    for (int c = 0; c < n; ++c)
        mChannels.push_back(mCmyk && c < 4 ? kCmykChannels[c] : std::to_string(c + 1));
    const int samples = chart.NrSamples(table);
    for (int s = 0; s < samples; ++s) {
        std::vector<double> v;
        if (cgats.GetCoordinates(table, s, v) != 0 || static_cast<int>(v.size()) != n)
            chart.Fail("the device values of sample " + std::to_string(s + 1) + " cannot be read");
        for (double x : v)
            if (!std::isfinite(x))
                chart.Fail("sample " + std::to_string(s + 1) + " has a device value that is not a number");
        mValues.push_back(std::move(v));
    }
}

int DeviceValues::Channel(const std::string& name) const
{
    for (std::size_t c = 0; c < mChannels.size(); ++c)
        if (mChannels[c] == name)
            return static_cast<int>(c);
    return -1;
}

bool DeviceValues::IsPaper(int sample) const
{
    for (double v : mValues[sample])
        if (!Empty(v))
            return false;
    return true;
}

// The one channel that is not empty, when it is full (solid) or not (tint); else -1.
int DeviceValues::OnlyChannel(int sample, bool full) const
{
    int only = -1;
    const std::vector<double>& v = mValues[sample];
    for (std::size_t c = 0; c < v.size(); ++c) {
        if (Empty(v[c]))
            continue;
        if (Full(v[c]) != full || only >= 0)
            return -1;
        only = static_cast<int>(c);
    }
    return only;
}

int DeviceValues::SolidOf(int sample) const { return OnlyChannel(sample, true); }

int DeviceValues::TintOf(int sample) const { return OnlyChannel(sample, false); }

// Two or three of cyan, magenta and yellow full, every other channel empty.
bool DeviceValues::IsOverprint(int sample) const
{
    if (!mCmyk)
        return false;
    const std::vector<double>& v = mValues[sample];
    int full = 0;
    for (std::size_t c = 0; c < v.size(); ++c) {
        if (c < 3 && Full(v[c]))
            ++full;
        else if (!Empty(v[c]))
            return false;
    }
    return full >= 2;
}

// The grey-balance patches of the common control strips: cyan, magenta and yellow inked, black
// empty, magenta equal to yellow and cyan at least magenta (50/40/40, for instance); the solid
// three-colour overprint is an overprint, not a grey.
bool DeviceValues::IsCmyGrey(int sample) const
{
    if (!mCmyk)
        return false;
    const std::vector<double>& v = mValues[sample];
    for (std::size_t c = 3; c < v.size(); ++c)
        if (!Empty(v[c]))
            return false;
    const double cyan = v[0], magenta = v[1], yellow = v[2];
    return !Empty(cyan) && !Empty(magenta) && !Empty(yellow) && std::fabs(magenta - yellow) < kEmpty
        && cyan > magenta - kEmpty && !(Full(cyan) && Full(magenta) && Full(yellow));
}

bool DeviceValues::Matches(const Role& role, int sample) const
{
    switch (role.kind) {
    case Role::All:
        return true;
    case Role::Names:
        return false; // told by name, not by device values
    case Role::Paper:
        return IsPaper(sample);
    case Role::Solids:
        return role.channel.empty() ? SolidOf(sample) >= 0
                                    : SolidOf(sample) >= 0 && SolidOf(sample) == Channel(role.channel);
    case Role::Tints:
        return TintOf(sample) >= 0 && TintOf(sample) == Channel(role.channel);
    case Role::Overprints:
        return IsOverprint(sample);
    case Role::CmyGrey:
        return IsCmyGrey(sample);
    }
    return false;
}

std::vector<int> SelectPatches(const Chart& chart, int table, const Role& role)
{
    const int n = chart.NrSamples(table);
    std::vector<int> chosen;
    if (role.kind == Role::Names) {
        for (const std::string& name : role.names)
            for (int s = 0; s < n; ++s)
                if (chart.SampleName(table, s) == name) {
                    chosen.push_back(s);
                    break;
                }
        return chosen;
    }
    const DeviceValues device(chart, table);
    if (role.NeedsDeviceValues() && !device.Present())
        chart.Fail("role \"" + role.text
            + "\" needs device values (CMYK or other process channels), which the file has not; only all and "
              "names: apply");
    for (int s = 0; s < n; ++s)
        if (role.kind == Role::All || device.Matches(role, s))
            chosen.push_back(s);
    return chosen;
}

bool IsPaperWhite(const double xyz[3], const double white[3])
{
    // L* = 903.3 Y / Yn where Y / Yn is below 0.008856 (CIE 15:2018, 8.2.1).
    constexpr double kDarkLightnessSlope = 24389.0 / 27.0;
    constexpr double kMinPaperLightness = 1.0;
    for (int k = 0; k < 3; ++k)
        if (!(xyz[k] > 0.0))
            return false;
    return kDarkLightnessSlope * xyz[1] / white[1] >= kMinPaperLightness;
}

} // namespace tintvale::qc
