// Patch roles: which patches of a print control chart are the paper, the solids, the overprints,
// the grey-balance patches and the tints, told by their device values (CMYK or n-colour channels).
#ifndef TINTVALE_QC_ROLES_H
#define TINTVALE_QC_ROLES_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/chart.h>

#include <string>
#include <vector>

namespace tintvale::qc {

// A role as written in a tolerance set or on the command line: "paper", "solids", "solids:C",
// "overprints", "cmy-grey", "tints:C", "all" or "names:ID,ID,...".
struct TINTVALE_QC_API Role {
    enum Kind { All, Names, Paper, Solids, Overprints, CmyGrey, Tints };
    Kind kind = All;
    std::string channel; // solids: and tints: (empty for every solid)
    std::vector<std::string> names; // names:
    std::string text; // as written

    bool NeedsDeviceValues() const { return kind != All && kind != Names; }
};

// Parses a role; throws Error "unknown role ..." listing the roles there are.
TINTVALE_QC_API Role ParseRole(const std::string& text);

// The process channels of one table and each sample's values in percent (0 to 100).
class TINTVALE_QC_API DeviceValues {
public:
    // Empty (Present() false) when the table has no CMYK, custom process or n-colour fields.
    DeviceValues(const Chart& chart, int table);
    bool Present() const { return !mChannels.empty(); }
    // "C", "M", "Y", "K" for CMYK; "1", "2", ... for other process channels.
    const std::vector<std::string>& Channels() const { return mChannels; }
    int Channel(const std::string& name) const; // -1 when there is no such channel
    bool IsCmyk() const { return mCmyk; }
    const std::vector<double>& Values(int sample) const { return mValues[sample]; }

    bool IsPaper(int sample) const;
    // The channel of which the sample is a solid (that channel full, the others empty), else -1.
    int SolidOf(int sample) const;
    // The channel of which the sample is a tint (that channel strictly between empty and full, the
    // others empty), else -1.
    int TintOf(int sample) const;
    bool IsOverprint(int sample) const;
    bool IsCmyGrey(int sample) const;
    bool Matches(const Role& role, int sample) const;

private:
    int OnlyChannel(int sample, bool full) const;

    std::vector<std::string> mChannels;
    std::vector<std::vector<double>> mValues;
    bool mCmyk = false;
};

// The samples of the table that take the role, in table order (names: in the order named, each
// name its first sample). Roles other than all and names: need device values, else fail naming
// the file.
TINTVALE_QC_API std::vector<int> SelectPatches(const Chart& chart, int table, const Role& role);

// Whether XYZ (on the scale of white, Y 100) can serve as a paper white that colours are judged
// relative to: every component positive and no darker than L* 1. Darker, the scaling to it would
// multiply colours by hundreds or more: such a "paper" is a black or a failed measurement.
TINTVALE_QC_API bool IsPaperWhite(const double xyz[3], const double white[3]);

} // namespace tintvale::qc

#endif
