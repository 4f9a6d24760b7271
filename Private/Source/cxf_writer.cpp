// A TCgats written as a CxF3 document that validates against the CxF3 core schema: each row an
// Object, one ColorSpecification per set of conditions, and every value CxF3 has no element for
// (or that its element could not hold exactly) kept as a Tag of the Object's "CGATS" collection,
// so that reading the document gives every value back.
#include "cxf.h"

#include <tintvale/tcgats.h>

#include "atomic_write.h"
#include "halden.h"
#include "numtext.h"
#include "tcgats_vocabulary.h"
#include "tcgatsinternals.h"
#include "tcgatstableheader.h"
#include "tcgatsvaluelist.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <ctime>
#include <map>
#include <set>
#include <unordered_set>

namespace tintvale::detail {

namespace {

constexpr const char* kCgatsTagCollection = "CGATS";
constexpr const char* kSpectralNormTag = "SPECTRAL_NORM";
// The tag that keeps a sample name that is no NCName, the Object's Id then being made up.
constexpr const char* kSampleIdTag = "SAMPLE_ID";
// The limits of ReflectanceSpectrum: StartWL 360 to 400 nm, values above -0.1 and below 3.
constexpr int kMinStartWL = 360;
constexpr int kMaxStartWL = 400;
constexpr double kMinReflectance = -0.1;
constexpr double kMaxReflectance = 3.0;
constexpr double kPercent = 100.0;
constexpr int kMaxShort = 32767;
// ColorRGB MaxRange tried in turn: the one at which every value of the table is a whole number
// that reads back as the same percentage.
constexpr int kRgbRanges[] = { 255, 100, 1000, 10000, 65535 / 2 };
// Illuminants the core schema names; others are written as Custom with their name.
const char* const kSchemaIlluminants[] = { "A", "B", "C", "D50", "D55", "D60", "D65", "D75", "E", "F2", "F3",
    "F7", "F9", "F10", "F11", "F12", "9300", "TL84", "TL83", "UL30", "UL35", "UL50" };
const char* const kSchemaFilters[] = { "Filter_None", "Filter_UVExcluded", "Filter_UVD65", "Filter_Partial" };
// What CGATS.17 and ISO 13655 mean when a file states no illuminant or observer.
constexpr const char* kDefaultIlluminant = "D50";
constexpr const char* kDefaultObserver = "2 degree";

void Escape(std::string& out, const std::string& text)
{
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // XML 1.0 has no other control characters.
            out += (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') ? ' ' : c;
        }
    }
}

std::string Escaped(const std::string& text)
{
    std::string out;
    Escape(out, text);
    return out;
}

void Element(std::string& out, const char* indent, const char* name, const std::string& text)
{
    out.append(indent).append("<cc:").append(name).append(">");
    Escape(out, text);
    out.append("</cc:").append(name).append(">\n");
}

bool IsNCName(const std::string& text)
{
    if (text.empty() || !(std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_'))
        return false;
    for (char c : text)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'))
            return false;
    return true;
}

bool IsDigits(const char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(p[i])))
            return false;
    return true;
}

// xs:dateTime: CCYY-MM-DDThh:mm:ss, optional fraction, optional Z or +hh:mm.
bool IsDateTime(const std::string& t)
{
    if (t.size() < 19 || !IsDigits(&t[0], 4) || t[4] != '-' || !IsDigits(&t[5], 2) || t[7] != '-'
        || !IsDigits(&t[8], 2) || t[10] != 'T' || !IsDigits(&t[11], 2) || t[13] != ':' || !IsDigits(&t[14], 2)
        || t[16] != ':' || !IsDigits(&t[17], 2))
        return false;
    std::size_t i = 19;
    if (i < t.size() && t[i] == '.') {
        const std::size_t start = ++i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
            ++i;
        if (i == start)
            return false;
    }
    if (i == t.size() || (t[i] == 'Z' && i + 1 == t.size()))
        return true;
    return t.size() == i + 6 && (t[i] == '+' || t[i] == '-') && IsDigits(&t[i + 1], 2) && t[i + 3] == ':'
        && IsDigits(&t[i + 4], 2);
}

std::string Now()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc {};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// value / 10^places with the digits moved (see the reader), so that the decimal is exact.
std::string ShiftDown(const std::string& text, int places)
{
    const std::size_t e = text.find_first_of("eE");
    int exponent = 0;
    if (e != std::string::npos)
        ParseInt(text.c_str() + e + 1, text.c_str() + text.size(), exponent);
    return text.substr(0, e) + "e" + std::to_string(exponent - places);
}

// How a table's measurements were made and computed, as its section (else the file) states.
struct Conditions {
    std::string illuminant, observer, condition, instrument, serial, geometry, filter, calibration;
    std::string method = kCxfUnknownMethod;
    bool spectral = false;
    bool custom = false; // spectra as CustomSpectrum
    int start = 0, increment = 0; // the WavelengthRange; custom spectra name each point and share one setup

    std::string Key() const
    {
        return illuminant + '\n' + observer + '\n' + condition + '\n' + instrument + '\n' + serial + '\n'
            + geometry + '\n' + filter + '\n' + calibration + '\n' + method + '\n' + (spectral ? "s" : "")
            + (custom ? std::string("c") : std::to_string(start) + "/" + std::to_string(increment));
    }
};

// The Method that fits the "INTEGRATION, ..." part of weighting (its lines joined by "; "): the
// readers' own texts, and what this library's integrations name themselves ("ASTM E308 10 nm
// 380-730": Table 5; "CIE 15 1 nm 380-780": 1-nm summation). Others are no method CxF3 names.
std::string MethodOf(const std::string& weighting)
{
    constexpr const char* kIntegration = "INTEGRATION, ";
    const std::size_t at = weighting.find(kIntegration);
    if (at == std::string::npos)
        return kCxfUnknownMethod;
    std::string text = weighting.substr(at + std::strlen(kIntegration));
    text = text.substr(0, text.find(';'));
    for (const CxfMethod& m : kCxfMethods)
        if (text == m.integration)
            return m.method;
    int step = 0;
    const bool astm = text.rfind("ASTM E308 ", 0) == 0;
    const bool cie = text.rfind("CIE 15 ", 0) == 0;
    const std::size_t number = astm ? 10 : cie ? 7 : 0;
    const char* end = number ? ParseInt(text.c_str() + number, text.c_str() + text.size(), step) : nullptr;
    if (!end || std::strncmp(end, " nm", 3) != 0)
        return kCxfUnknownMethod;
    if (step == 1)
        return "E308_1nm";
    return astm && (step == 10 || step == 20) ? "E308_Table5" : kCxfUnknownMethod;
}

// A refusal with its words, as the CGATS conventions give theirs.
int Refuse(const TCgats& cgats, const std::string& why)
{
    TCgatsInternals::SetErrorCode(cgats, TCgats::kErrConvention);
    TCgatsInternals::SetErrorMessage(cgats, why);
    return TCgats::kErrConvention;
}

class CxfWriter {
public:
    explicit CxfWriter(const TCgats& cgats)
        : cgats(cgats)
        // Only read: the accessors serve the readers and builders of the model as well.
        , tags(TCgatsInternals::Tags(const_cast<TCgats&>(cgats)))
        , tables(TCgatsInternals::Tables(const_cast<TCgats&>(cgats)))
    { }

    void Write(std::string& out);
    // The CustomResources kept when the document was read; a TCgats error code.
    int TakeCustomResources();

private:
    // The value of the last line with keyword in table t's section, else of the first ahead of
    // the first table; empty when neither states it.
    std::string SectionValue(int t, const char* keyword) const;
    Conditions TableConditions(int t) const;
    void WriteFileInformation(std::string& out) const;
    void WriteObjects(int t, const std::string& setupId, std::string& out);
    void WriteSetups(std::string& out) const;
    std::string Cell(int t, int s, int field) const;
    std::string UniqueId(const std::string& wanted);

    const TCgats& cgats;
    const std::vector<std::unique_ptr<TCgatsTag>>& tags;
    const std::vector<std::unique_ptr<TCgatsTable>>& tables;
    std::map<std::string, std::string> setupIds; // conditions key -> Id
    std::vector<Conditions> setups; // in Id order
    std::unordered_set<std::string> objectIds;
    std::string created = Now();
    std::string customResources;
};

std::string CxfWriter::SectionValue(int t, const char* keyword) const
{
    int table = 0;
    std::string found;
    std::string header;
    for (const auto& tag : tags) {
        if (tag->kind == kKindBeginData && table++ == t)
            break;
        if (tag->kind == kKindEndData || !tag->Name() || std::strcmp(tag->Name(), keyword) != 0)
            continue;
        if (table == 0 && header.empty())
            header = tag->Value();
        if (table == t)
            found = tag->Value();
    }
    return found.empty() ? header : found;
}

Conditions CxfWriter::TableConditions(int t) const
{
    Conditions c;
    c.illuminant = cgats.GetTableIlluminant(t);
    c.observer = cgats.GetTableObserver(t);
    c.condition = cgats.GetTableMeasurementCondition(t);
    c.method = MethodOf(cgats.GetTableWeightingFunction(t));
    c.instrument = SectionValue(t, "INSTRUMENTATION");
    c.serial = SectionValue(t, "SERIAL");
    c.geometry = SectionValue(t, "MEASUREMENT_GEOMETRY");
    c.filter = SectionValue(t, "FILTER");
    c.calibration = SectionValue(t, "CALIBRATION_STANDARD");
    std::vector<int> wavelengths;
    cgats.GetWaveLengths(t, wavelengths);
    c.spectral = !wavelengths.empty();
    if (c.spectral) {
        c.start = wavelengths[0];
        c.increment = wavelengths.size() > 1 ? wavelengths[1] - wavelengths[0] : 10;
        bool even = c.increment > 0 && c.increment <= kMaxShort;
        for (std::size_t i = 1; i < wavelengths.size(); ++i)
            even = even && wavelengths[i] - wavelengths[i - 1] == c.increment;
        c.custom = !even || c.start < kMinStartWL || c.start > kMaxStartWL;
        std::vector<double> spectrum;
        for (int s = 0; !c.custom && s < cgats.GetNrSamples(t); ++s) {
            cgats.GetSpectrum(t, s, spectrum);
            for (double v : spectrum)
                c.custom = c.custom || !(v > kMinReflectance && v < kMaxReflectance);
        }
    }
    return c;
}

// Every header line that is not structure or a condition written in the ColorSpecification.
bool IsFileTag(const std::string& keyword)
{
    static const std::set<std::string> kLeftOut = { "NUMBER_OF_FIELDS", "NUMBER_OF_SETS", "KEYWORD",
        "SPOT_ID", "SPECTRAL_START_NM", "SPECTRAL_END_NM", "SPECTRAL_BANDS", "SPECTRAL_NORM",
        "WEIGHTING_FUNCTION", "ILLUMINANT", "OBSERVER", "MEASUREMENT_CONDITION", "INSTRUMENTATION", "SERIAL",
        "MEASUREMENT_GEOMETRY", "FILTER", "CALIBRATION_STANDARD", "ORIGINATOR", "FILE_DESCRIPTOR",
        "CXF_COMMENT", kCxfCustomResourcesKeyword };
    return !kLeftOut.count(keyword);
}

void CxfWriter::WriteFileInformation(std::string& out) const
{
    out += "  <cc:FileInformation>\n";
    if (const char* creator = cgats.GetOriginator())
        Element(out, "    ", "Creator", creator);
    const char* createdValue = cgats.GetCreated();
    const bool createdIsDate = createdValue && IsDateTime(createdValue);
    Element(out, "    ", "CreationDate", createdIsDate ? createdValue : created);
    if (const char* description = cgats.GetFileDescriptor())
        Element(out, "    ", "Description", description);
    if (const char* comment = cgats.GetKeywordValue("CXF_COMMENT"))
        Element(out, "    ", "Comment", comment);
    std::set<std::pair<std::string, std::string>> written;
    auto tag = [&](const std::string& name, const std::string& value) {
        if (written.insert({ name, value }).second)
            out += "    <cc:Tag Name=\"" + Escaped(name) + "\" Value=\"" + Escaped(value) + "\"/>\n";
    };
    for (const auto& [keyword, value] : cgats.GetKeywords())
        if (IsFileTag(keyword) && (keyword != "CREATED" || !createdIsDate))
            tag(keyword, value);
    out += "  </cc:FileInformation>\n";
}

std::string CxfWriter::Cell(int t, int s, int field) const
{
    const TCgatsTable& table = *tables[t];
    const TCgatsValueList* column = table.columns[field].get();
    switch (table.Header()->Field(field)->type) {
    case TCgatsField::kString: {
        const char* text = column->GetString(s);
        return text ? text : "";
    }
    case TCgatsField::kInt: {
        std::string text;
        AppendInt(text, column->GetInt(s));
        return text;
    }
    default:
        return FormatShortest(column->GetDouble(s));
    }
}

std::string CxfWriter::UniqueId(const std::string& wanted)
{
    std::string id = IsNCName(wanted) ? wanted : "Object" + std::to_string(objectIds.size() + 1);
    while (!objectIds.insert(id).second)
        id += "_" + std::to_string(objectIds.size());
    return id;
}

// The fields of a table that CxF3 elements take, found by name.
struct Layout {
    int id = -1, name = -1, type = -1, guid = -1, date = -1;
    int lab[3] = { -1, -1, -1 }, lch[2] = { -1, -1 }, xyz[3] = { -1, -1, -1 }, cmyk[4] = { -1, -1, -1, -1 };
    int rgb[3] = { -1, -1, -1 };
    int rgbRange = 0; // the MaxRange every RGB value is exact at, 0 when none
    std::vector<int> spots, spectra;
    std::vector<bool> used;
};

bool All(const int* fields, int n)
{
    for (int i = 0; i < n; ++i)
        if (fields[i] < 0)
            return false;
    return true;
}

// The MaxRange at which every RGB percentage of the table is a whole number that reads back.
int RgbRange(const TCgatsTable& table, const int* rgb)
{
    for (int range : kRgbRanges) {
        bool exact = true;
        for (int s = 0; exact && s < table.nrFilled; ++s)
            for (int i = 0; exact && i < 3; ++i) {
                const double v = table.columns[rgb[i]]->GetDouble(s);
                const double scaled = v * range / kPercent;
                const double whole = std::round(scaled);
                double back = 0.0;
                ParseDouble(FormatShortest(whole * kPercent / range).c_str(), nullptr, back);
                exact = whole >= 0 && whole <= kMaxShort && std::fabs(scaled - whole) < 1e-9
                    && (range == kPercent ? whole == v : back == v);
            }
        if (exact)
            return range;
    }
    return 0;
}

void CxfWriter::WriteObjects(int t, const std::string& setupId, std::string& out)
{
    const TCgatsTable& table = *tables[t];
    const TCgatsTableHeader& header = *table.Header();
    Layout l;
    l.used.assign(header.NrFields(), false);
    static const char* const kLab[] = { "LAB_L", "LAB_A", "LAB_B" };
    static const char* const kXyz[] = { "XYZ_X", "XYZ_Y", "XYZ_Z" };
    static const char* const kCmyk[] = { "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K" };
    static const char* const kRgb[] = { "RGB_R", "RGB_G", "RGB_B" };
    for (int f = 0; f < header.NrFields(); ++f) {
        const TCgatsField& field = *header.Field(f);
        const std::string& n = field.name;
        const bool number = field.type != TCgatsField::kString;
        for (int i = 0; i < 3; ++i) {
            if (number && n == kLab[i])
                l.lab[i] = f;
            if (number && n == kXyz[i])
                l.xyz[i] = f;
            if (number && n == kRgb[i])
                l.rgb[i] = f;
        }
        for (int i = 0; i < 4; ++i)
            if (number && n == kCmyk[i])
                l.cmyk[i] = f;
        if (number && n == "LAB_C")
            l.lch[0] = f;
        if (number && n == "LAB_H")
            l.lch[1] = f;
        if (field.category == TCgatsField::kSpectral)
            l.spectra.push_back(f);
        if (field.category == TCgatsField::kSpot)
            l.spots.push_back(f);
        if (!strcmp_ci(n.c_str(), "SAMPLE_ID") || (n == "SampleID" && l.id < 0))
            l.id = f;
        if (n == "SAMPLE_NAME")
            l.name = f;
        if (n == "OBJECT_TYPE")
            l.type = f;
        if (n == "OBJECT_GUID")
            l.guid = f;
        if (n == "CREATION_DATE")
            l.date = f;
    }
    std::vector<int> wavelengths;
    cgats.GetWaveLengths(t, wavelengths);
    // GetWaveLengths is ascending; the spectral fields in that order.
    std::sort(l.spectra.begin(), l.spectra.end(),
        [&](int a, int b) { return header.Field(a)->index < header.Field(b)->index; });
    std::vector<const char*> spotNames;
    if (!l.spots.empty() && cgats.GetSpotColorDescriptions(t, spotNames) != 0)
        spotNames.clear();
    if (All(l.rgb, 3))
        l.rgbRange = RgbRange(table, l.rgb);
    const Conditions& c = setups[std::stoi(setupId.substr(2)) - 1];
    const double factor = TCgatsInternals::SpectralFactor(cgats, t);
    // Percent moves to factors in decimal, and back when read.
    const bool percent = factor == 1.0 / kPercent;
    for (int s = 0; s < table.nrFilled; ++s) {
        std::vector<bool> used(header.NrFields(), false);
        auto take = [&](int f) {
            used[f] = true;
            return Cell(t, s, f);
        };
        auto value = [&](int f) { return table.columns[f]->GetDouble(s); };
        const std::string wantedId = l.id >= 0 ? Cell(t, s, l.id) : "";
        const std::string id = UniqueId(wantedId);
        if (id == wantedId)
            used[l.id] = true;
        std::string name = l.name >= 0 ? take(l.name) : wantedId;
        const std::string type = l.type >= 0 ? take(l.type) : "Target";
        out += "      <cc:Object ObjectType=\"" + Escaped(type) + "\" Name=\"" + Escaped(name) + "\" Id=\""
            + Escaped(id) + "\"";
        if (l.guid >= 0)
            out += " GUID=\"" + Escaped(take(l.guid)) + "\"";
        out += ">\n";
        std::string date = l.date >= 0 ? Cell(t, s, l.date) : "";
        if (IsDateTime(date))
            used[l.date] = true;
        Element(out, "        ", "CreationDate", IsDateTime(date) ? date : created);
        const std::string setup = " ColorSpecification=\"" + setupId + "\"";
        std::string values;
        if (!l.spectra.empty() && !c.custom) {
            values += "          <cc:ReflectanceSpectrum" + setup + " StartWL=\"" + std::to_string(c.start)
                + "\">";
            for (std::size_t i = 0; i < l.spectra.size(); ++i) {
                const std::string text = take(l.spectra[i]);
                values += i ? " " : "";
                values += factor == 1.0 ? text
                    : percent           ? ShiftDown(text, 2)
                                        : FormatShortest(value(l.spectra[i]) * factor);
            }
            values += "</cc:ReflectanceSpectrum>\n";
        } else if (!l.spectra.empty()) {
            values += "          <cc:CustomSpectrum" + setup + ">\n";
            for (std::size_t i = 0; i < l.spectra.size(); ++i) {
                const std::string text = take(l.spectra[i]);
                values += "            <cc:SpectralPoint WL=\"" + std::to_string(wavelengths[i]) + "\">"
                    + (factor == 1.0  ? text
                            : percent ? ShiftDown(text, 2)
                                      : FormatShortest(value(l.spectra[i]) * factor))
                    + "</cc:SpectralPoint>\n";
            }
            values += "          </cc:CustomSpectrum>\n";
        }
        if (All(l.lab, 3) && value(l.lab[0]) >= 0)
            values += "          <cc:ColorCIELab" + setup + "><cc:L>" + take(l.lab[0]) + "</cc:L><cc:A>"
                + take(l.lab[1]) + "</cc:A><cc:B>" + take(l.lab[2]) + "</cc:B></cc:ColorCIELab>\n";
        if (l.lab[0] >= 0 && All(l.lch, 2) && value(l.lab[0]) >= 0 && value(l.lch[0]) >= 0
            && value(l.lch[1]) >= 0 && value(l.lch[1]) <= 360)
            values += "          <cc:ColorCIELCh" + setup + "><cc:L>" + take(l.lab[0]) + "</cc:L><cc:C>"
                + take(l.lch[0]) + "</cc:C><cc:H>" + take(l.lch[1]) + "</cc:H></cc:ColorCIELCh>\n";
        if (All(l.xyz, 3) && value(l.xyz[0]) >= 0 && value(l.xyz[1]) >= 0 && value(l.xyz[2]) >= 0)
            values += "          <cc:ColorCIEXYZ" + setup + "><cc:X>" + take(l.xyz[0]) + "</cc:X><cc:Y>"
                + take(l.xyz[1]) + "</cc:Y><cc:Z>" + take(l.xyz[2]) + "</cc:Z></cc:ColorCIEXYZ>\n";
        if (!values.empty())
            out += "        <cc:ColorValues>\n" + values + "        </cc:ColorValues>\n";
        values.clear();
        bool cmyk = All(l.cmyk, 4);
        for (int i = 0; cmyk && i < 4; ++i)
            cmyk = value(l.cmyk[i]) >= 0 && value(l.cmyk[i]) <= kPercent;
        bool spots = !l.spots.empty() && (spotNames.empty() || spotNames.size() == l.spots.size());
        for (std::size_t i = 0; spots && i < l.spots.size(); ++i)
            spots = value(l.spots[i]) >= 0 && value(l.spots[i]) <= kPercent;
        static const char* const kInks[] = { "Cyan", "Magenta", "Yellow", "Black" };
        if (cmyk || spots) {
            const char* element = cmyk ? (spots ? "ColorCMYKPlusN" : "ColorCMYK") : "ColorCustom";
            values += std::string("          <cc:") + element + (cmyk ? "" : " Name=\"Spots\"") + setup + ">";
            for (int i = 0; cmyk && i < 4; ++i)
                values += std::string("<cc:") + kInks[i] + ">" + take(l.cmyk[i]) + "</cc:" + kInks[i] + ">";
            for (std::size_t i = 0; spots && i < l.spots.size(); ++i) {
                const std::string spotName = spotNames.empty()
                    ? header.Field(l.spots[i])->name
                    : std::string(*spotNames[i] ? spotNames[i] : header.Field(l.spots[i])->name.c_str());
                values += "<cc:SpotColor><cc:Name>" + Escaped(spotName) + "</cc:Name><cc:Percentage>"
                    + take(l.spots[i]) + "</cc:Percentage></cc:SpotColor>";
            }
            values += std::string("</cc:") + element + ">\n";
        }
        if (l.rgbRange > 0) {
            values += "          <cc:ColorRGB" + setup + "><cc:MaxRange>" + std::to_string(l.rgbRange)
                + "</cc:MaxRange>";
            for (int i = 0; i < 3; ++i) {
                used[l.rgb[i]] = true;
                const long whole = std::lround(value(l.rgb[i]) * l.rgbRange / kPercent);
                values += std::string("<cc:") + "RGB"[i] + ">" + std::to_string(whole) + "</cc:" + "RGB"[i]
                    + ">";
            }
            values += "</cc:ColorRGB>\n";
        }
        if (!values.empty())
            out += "        <cc:DeviceColorValues>\n" + values + "        </cc:DeviceColorValues>\n";
        std::string rest;
        for (int f = 0; f < header.NrFields(); ++f)
            if (!used[f])
                rest += "          <cc:Tag Name=\""
                    + Escaped(f == l.id ? kSampleIdTag : header.Field(f)->name) + "\" Value=\""
                    + Escaped(Cell(t, s, f)) + "\"/>\n";
        if (percent && !l.spectra.empty())
            rest += std::string("          <cc:Tag Name=\"") + kSpectralNormTag + "\" Value=\"100\"/>\n";
        if (!rest.empty())
            out += std::string("        <cc:TagCollection Name=\"") + kCgatsTagCollection + "\">\n" + rest
                + "        </cc:TagCollection>\n";
        out += "      </cc:Object>\n";
    }
}

std::string ObserverElement(const std::string& observer)
{
    if (observer == "2 degree")
        return "2_Degree";
    if (observer == "10 degree")
        return "10_Degree";
    return "Custom_CMF";
}

std::string ConditionElement(const std::string& condition)
{
    static const std::pair<const char*, const char*> kConditions[] = { { "M0", "M0_Incandescent" },
        { "M1", "M1_Daylight" }, { "M2", "M2_UVExcluded" }, { "M3", "M3_Polarized" } };
    for (const auto& [cgats, cxf] : kConditions)
        if (condition == cgats)
            return std::string("<cc:DeviceIllumination>") + cxf + "</cc:DeviceIllumination>";
    return "<cc:DeviceIllumination CustomType=\"" + Escaped(condition) + "\">Custom</cc:DeviceIllumination>";
}

void CxfWriter::WriteSetups(std::string& out) const
{
    out += "    <cc:ColorSpecificationCollection>\n";
    for (std::size_t i = 0; i < setups.size(); ++i) {
        const Conditions& c = setups[i];
        out += "      <cc:ColorSpecification Id=\"CS" + std::to_string(i + 1) + "\">\n";
        if (!c.illuminant.empty() || !c.observer.empty()) {
            const std::string illuminant = c.illuminant.empty() ? kDefaultIlluminant : c.illuminant;
            bool known = false;
            for (const char* name : kSchemaIlluminants)
                known = known || illuminant == name;
            out += "        <cc:TristimulusSpec>";
            out += known ? "<cc:Illuminant>" + illuminant + "</cc:Illuminant>"
                         : "<cc:Illuminant Name=\"" + Escaped(illuminant) + "\">Custom</cc:Illuminant>";
            out += "<cc:Observer>" + ObserverElement(c.observer.empty() ? kDefaultObserver : c.observer)
                + "</cc:Observer><cc:Method>" + c.method + "</cc:Method></cc:TristimulusSpec>\n";
        }
        out += "        <cc:MeasurementSpec>\n";
        Element(out, "          ", "MeasurementType",
            c.spectral ? "Spectrum_Reflectance" : "Colorimetric_Reflectance");
        out += "          <cc:GeometryChoice><cc:UnknownGeometry>"
            + Escaped(c.geometry.empty() ? "unstated" : c.geometry)
            + "</cc:UnknownGeometry></cc:GeometryChoice>\n";
        if (c.spectral && !c.custom)
            out += "          <cc:WavelengthRange StartWL=\"" + std::to_string(c.start) + "\" Increment=\""
                + std::to_string(c.increment) + "\"/>\n";
        if (!c.calibration.empty())
            Element(out, "          ", "CalibrationStandard", c.calibration);
        if (!c.instrument.empty() || !c.serial.empty() || !c.filter.empty() || !c.condition.empty()) {
            out += "          <cc:Device>";
            if (!c.instrument.empty())
                out += "<cc:Model>" + Escaped(c.instrument) + "</cc:Model>";
            if (!c.serial.empty())
                out += "<cc:SerialNumber>" + Escaped(c.serial) + "</cc:SerialNumber>";
            bool known = false;
            for (const char* name : kSchemaFilters)
                known = known || c.filter == name;
            if (!c.filter.empty())
                out += known ? "<cc:DeviceFilter>" + c.filter + "</cc:DeviceFilter>"
                             : "<cc:DeviceFilter FilterDescription=\"" + Escaped(c.filter)
                        + "\">Filter_Custom</cc:DeviceFilter>";
            if (!c.condition.empty())
                out += ConditionElement(c.condition);
            out += "</cc:Device>\n";
        }
        out += "        </cc:MeasurementSpec>\n      </cc:ColorSpecification>\n";
    }
    out += "    </cc:ColorSpecificationCollection>\n";
}

void CxfWriter::Write(std::string& out)
{
    std::vector<std::string> tableSetups(tables.size());
    for (std::size_t t = 0; t < tables.size(); ++t) {
        if (!tables[t] || tables[t]->error != 0 || !tables[t]->Header())
            continue;
        const Conditions c = TableConditions(static_cast<int>(t));
        auto [at, added] = setupIds.emplace(c.Key(), "CS" + std::to_string(setups.size() + 1));
        if (added)
            setups.push_back(c);
        tableSetups[t] = at->second;
    }
    out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<cc:CxF xmlns:cc=\"";
    out += kCxfCoreNamespace;
    out += "\">\n";
    WriteFileInformation(out);
    out += "  <cc:Resources>\n";
    std::string objects;
    for (std::size_t t = 0; t < tables.size(); ++t)
        if (!tableSetups[t].empty())
            WriteObjects(static_cast<int>(t), tableSetups[t], objects);
    if (!objects.empty())
        out += "    <cc:ObjectCollection>\n" + objects + "    </cc:ObjectCollection>\n";
    if (!setups.empty())
        WriteSetups(out);
    out += "  </cc:Resources>\n";
    if (!customResources.empty())
        out += "  <cc:CustomResources>" + customResources + "</cc:CustomResources>\n";
    out += "</cc:CxF>\n";
}

int CxfWriter::TakeCustomResources()
{
    std::string encoded;
    for (const auto& [keyword, value] : cgats.GetKeywords())
        if (keyword == kCxfCustomResourcesKeyword)
            encoded += value;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        int byte = 0;
        const bool escape = encoded[i] == '%' && i + 2 < encoded.size()
            && std::isxdigit(static_cast<unsigned char>(encoded[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(encoded[i + 2]));
        if (escape) {
            byte = std::stoi(encoded.substr(i + 1, 2), nullptr, 16);
            i += 2;
        }
        customResources += escape ? static_cast<char>(byte) : encoded[i];
    }
    // Written only as the well-formed XML elements it was read as.
    pugi::xml_document check;
    const std::string wrapped = "<r>" + customResources + "</r>";
    const bool elements = check.load_buffer(wrapped.data(), wrapped.size(), pugi::parse_default)
        && !check.document_element().find_child(
            [](const pugi::xml_node& n) { return n.type() != pugi::node_element; });
    return elements
        ? 0
        : Refuse(cgats, std::string(kCxfCustomResourcesKeyword) + " is no well-formed XML element.");
}

// Where the document holds bytes that are no UTF-8 (CGATS files are often Latin-1): the start of
// the written line up to there, which names the header line or field; empty when all is UTF-8.
std::string NonUtf8Text(const std::string& document)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(document.data());
    for (std::size_t i = 0; i < document.size();) {
        const std::size_t length = Utf8Length(bytes + i, document.size() - i);
        if (length > 0) {
            i += length;
            continue;
        }
        std::size_t start = document.rfind('\n', i);
        start = document.find_first_not_of(' ', start == std::string::npos ? 0 : start + 1);
        constexpr std::size_t kShown = 60;
        const std::size_t from = i - start > kShown ? i - kShown : start;
        return document.substr(from, i - from);
    }
    return {};
}

// The first number cell CxF3 cannot hold (NaN or infinite, which lenient reading may leave),
// described; empty when there is none.
std::string NonFiniteCell(const TCgats& cgats)
{
    const auto& tables = TCgatsInternals::Tables(const_cast<TCgats&>(cgats));
    for (std::size_t t = 0; t < tables.size(); ++t) {
        if (!tables[t] || tables[t]->error != 0 || !tables[t]->Header())
            continue;
        const TCgatsTable& table = *tables[t];
        const TCgatsTableHeader& header = *table.Header();
        for (int f = 0; f < header.NrFields() && f < static_cast<int>(table.columns.size()); ++f) {
            if (header.Field(f)->type != TCgatsField::kDouble || !table.columns[f])
                continue;
            for (int s = 0; s < table.nrFilled; ++s)
                if (!std::isfinite(table.columns[f]->GetDouble(s)))
                    return "CxF3 cannot hold field " + header.Field(f)->name + " of sample "
                        + std::to_string(s + 1) + " of table " + std::to_string(t + 1)
                        + ": not a finite number.";
        }
    }
    return {};
}

} // namespace

// Length of the UTF-8 sequence at p (at most n bytes) that XML 1.0 allows, 0 when none: no
// overlong forms, surrogates, code points beyond U+10FFFF, nor U+FFFE and U+FFFF.
std::size_t Utf8Length(const unsigned char* p, std::size_t n)
{
    if (p[0] < 0x80)
        return 1;
    const std::size_t length = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC2 ? 2 : 0;
    if (length == 0 || length > n || p[0] > 0xF4)
        return 0;
    unsigned long code = p[0] & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (p[i] & 0x3F);
    }
    constexpr unsigned long kLeast[] = { 0, 0, 0x80, 0x800, 0x10000 };
    const bool allowed = code >= kLeast[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)
        && code != 0xFFFE && code != 0xFFFF;
    return allowed ? length : 0;
}

int CgatsToCxf(const TCgats& cgats, std::string& out)
{
    if (cgats.GetErrorCode() != 0)
        return cgats.GetErrorCode();
    const std::string nonFinite = NonFiniteCell(cgats);
    if (!nonFinite.empty())
        return Refuse(cgats, nonFinite);
    CxfWriter writer(cgats);
    const int custom = writer.TakeCustomResources();
    if (custom != 0)
        return custom;
    writer.Write(out);
    // XML is UTF-8 here; other bytes would make a document no XML reader takes.
    const std::string before = NonUtf8Text(out);
    if (!before.empty() || out.find_first_of('\0') != std::string::npos) {
        out.clear();
        return Refuse(cgats, "CxF3 needs UTF-8 text; not so after: " + before);
    }
    return 0;
}

int SaveCxf(const TCgats& cgats, const char* fileName)
{
    if (!fileName || !*fileName)
        return TCgats::kErrEmptyFileName;
    std::string text;
    const int result = CgatsToCxf(cgats, text);
    if (result != 0)
        return result;
    if (ReplaceFile(fileName, text.data(), text.size()) != 0) {
        TCgatsInternals::SetErrorCode(cgats, TCgats::kErrCannotWrite);
        return TCgats::kErrCannotWrite;
    }
    return 0;
}

int WriteCxfToBuffer(const TCgats& cgats, char** buffer)
{
    if (!buffer)
        return TCgats::kErrNotCgats;
    std::string text;
    const int result = CgatsToCxf(cgats, text);
    if (result != 0) {
        *buffer = nullptr;
        return result;
    }
    *buffer = new char[text.size() + 1];
    std::memcpy(*buffer, text.c_str(), text.size() + 1);
    return 0;
}

} // namespace tintvale::detail
