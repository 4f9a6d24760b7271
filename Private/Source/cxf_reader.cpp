// CxF3 documents read into CGATS.17 text: each Object a row, one table for each set of colour
// ColorSpecifications and values its Objects share, each table stating its conditions as CGATS.17
// does (WEIGHTING_FUNCTION, MEASUREMENT_CONDITION, INSTRUMENTATION).
#include "cxf.h"

#include <tintvale/tcgats.h>

#include "cxf_names.h"
#include "halden.h"
#include "numtext.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tintvale::detail {

namespace {

// Bounds that keep a hostile document from costing more than its size says: element nesting far
// beyond the core schema's (about 10 levels), attribute and header texts of a CGATS header value.
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxAttributeLength = TCgats::kMaxValueLength;
// The most values one Object may give, within the fields a CGATS data format holds.
constexpr std::size_t kMaxCells = 0x7000;
// The longest wavelength a spectral field name (SPECTRAL_NM_nnnn) gives.
constexpr int kMaxWavelength = 9999;
// ColorRGB values run to MaxRange, 255 when it is not given.
constexpr double kDefaultRgbMaxRange = 255.0;
constexpr double kPercent = 100.0;
// The tag collection CgatsToCxf writes the values CxF3 has no element for into.
constexpr const char* kCgatsTagCollection = "CGATS";
// What that writer names the geometry of a file that states none (the schema needs one).
constexpr const char* kUnstatedGeometry = "unstated";
// A tag of that collection: the scale the Object's spectra had in CGATS (100: percent).
constexpr const char* kSpectralNormTag = "SPECTRAL_NORM";
constexpr const char* kSampleIdTag = "SAMPLE_ID";

struct Setup {
    std::string illuminant; // "D50", or the name of a custom illuminant
    std::string observer; // "2 degree", "10 degree" or as written
    std::string condition; // "M0" ... "M3" or the device illumination as written
    std::string instrument;
    std::string serial;
    std::string geometry;
    std::string filter;
    std::string calibration;
    std::string integration; // the WEIGHTING_FUNCTION text of its Method, empty when unknown
    int startWL = 0;
    int increment = 0;
};

// A field name, and the last Object (by number) that gave it a value.
using FieldEntry = std::pair<const std::string, unsigned>;

struct Row {
    std::string values; // the CGATS cells, separated by tabs
    std::vector<const FieldEntry*> fields;
    std::string colorSetup; // the ColorSpecification of its colorimetric values
    std::string spectralSetup; // of its spectrum
    bool reflectance = false; // its spectrum is in factors
    int shift = 0; // decimal places its spectrum moves to reach its CGATS scale
};

struct Group {
    std::vector<const FieldEntry*> fields;
    const Setup* colorSetup = nullptr;
    const Setup* spectralSetup = nullptr;
    bool reflectance = false;
    bool percent = false;
    std::string rows;
    int nrRows = 0;
};

// A header or text cell value CGATS can carry: no double quote, no line end.
std::string CgatsText(const char* text)
{
    std::string out(text);
    for (char& c : out) {
        if (c == '"')
            c = '\'';
        else if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    }
    return out;
}

bool WholeNumber(const char* text, int& value)
{
    const char* end = text + std::strlen(text);
    return ParseInt(text, end, value) == end;
}

std::string Quoted(const char* text) { return "\"" + CgatsText(text) + "\""; }

// A name CGATS reads as one field name or keyword.
std::string FieldName(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-';
        out += plain ? c : '_';
    }
    return out.empty() ? "TAG" : out;
}

// A header keyword of a tag that would read as the file's structure (a data format, a free-form
// block, a declaration, a table's scale) is kept under the prefix CXF_.
std::string HeaderKeyword(const std::string& name)
{
    static const char* const kStructure[]
        = { "NUMBER_OF_FIELDS", "NUMBER_OF_SETS", "KEYWORD", "SPOT_ID", "PROCESSCOLOR_ID", "SPECTRAL_NORM",
              "SPECTRAL_START_NM", "SPECTRAL_END_NM", "SPECTRAL_BANDS", "CGATS.17" };
    const std::string keyword = FieldName(name);
    bool structure
        = strncmp_ci(keyword.c_str(), "BEGIN_", 6) == 0 || strncmp_ci(keyword.c_str(), "END_", 4) == 0;
    for (const char* word : kStructure)
        structure = structure || strcmp_ci(keyword.c_str(), word) == 0;
    return structure ? "CXF_" + keyword : keyword;
}

// value * 10^shift as decimal text, the digits moved rather than multiplied, so that reading it
// gives the double nearest the exact shifted decimal.
std::string ShiftDecimal(const std::string& text, int shift)
{
    std::size_t e = text.find_first_of("eE");
    std::string mantissa = text.substr(0, e);
    int exponent = 0;
    if (e != std::string::npos)
        ParseInt(text.c_str() + e + 1, text.c_str() + text.size(), exponent);
    return mantissa + "e" + std::to_string(exponent + shift);
}

class CxfReader {
public:
    CxfReader(const char* text, CxfFault& fault)
        : text(text)
        , fault(fault)
    { }

    bool Read(std::string& cgats);

private:
    bool Fail(int code, const pugi::xml_node& node, const std::string& message)
    {
        return FailAt(code, static_cast<std::ptrdiff_t>(node.offset_debug()), message);
    }
    bool FailAt(int code, std::ptrdiff_t offset, const std::string& message);
    bool CheckTree(const pugi::xml_node& root);
    bool ReadFileInformation(const pugi::xml_node& info);
    void KeepCustomResources(const pugi::xml_node& custom);
    bool ReadSetups(const pugi::xml_node& collection);
    bool ReadObject(const pugi::xml_node& object);
    bool ReadColorValues(const pugi::xml_node& values, Row& row);
    bool ReadDensity(const pugi::xml_node& density, Row& row);
    bool ReadSpectrum(const pugi::xml_node& spectrum, Row& row);
    bool ReadCustomSpectrum(const pugi::xml_node& spectrum, Row& row);
    bool ReadDeviceValues(const pugi::xml_node& values, Row& row);
    bool ReadSpots(const pugi::xml_node& value, Row& row);
    bool ReadTriple(const pugi::xml_node& value, const char* const (&elements)[3],
        const char* const (&fields)[3], Row& row, std::string* setup);
    // The number text of node's text, or a fault naming it.
    bool Number(const pugi::xml_node& node, std::string_view text, std::string_view& number);
    bool Number(const pugi::xml_node& node, std::string_view text, std::string& number);
    // Adds a cell unless the Object gave the field a value already (ColorCMYK beside
    // ColorCMYKPlusN: the first is kept).
    void AddCell(Row& row, FieldEntry* field, std::string_view value);
    void AddCell(Row& row, const std::string& name, std::string_view value)
    {
        AddCell(row, Field(name), value);
    }
    FieldEntry* Field(const std::string& name) { return &*fieldNames.try_emplace(name, 0u).first; }
    FieldEntry* SpectralField(int wavelength);
    void AddRow(Row& row);
    void WriteText(std::string& cgats) const;
    void WriteConditions(const Group& group, std::string& out) const;

    const char* text;
    CxfFault& fault;
    CxfNames names;
    std::vector<std::pair<std::string, std::string>> header; // keyword, quoted value
    std::unordered_map<std::string, Setup> setups;
    std::vector<std::string> spotNames;
    std::map<std::string, std::size_t> groupIndex;
    std::vector<Group> groups;
    // Every field name once: rows refer to them, so that a row costs no names of its own.
    std::unordered_map<std::string, unsigned> fieldNames;
    std::vector<FieldEntry*> spectralFields; // by wavelength
    unsigned objectNumber = 0;
};

bool CxfReader::FailAt(int code, std::ptrdiff_t offset, const std::string& message)
{
    int line = 1;
    for (std::ptrdiff_t i = 0; i < offset && text[i]; ++i)
        if (text[i] == '\n')
            ++line;
    fault.code = code;
    fault.message = "CxF3: " + message;
    fault.line = line;
    return false;
}

bool CxfReader::Read(std::string& cgats)
{
    pugi::xml_document document;
    // DOCTYPE kept as a node so that it can be refused; pugixml never loads external entities.
    const unsigned options = pugi::parse_default | pugi::parse_doctype;
    // encoding_auto: a BOM or a Latin-1 declaration converts to UTF-8; text taken as UTF-8 must be so,
    // or the table would hold bytes no CxF3 writer may give back.
    const std::size_t size = std::strlen(text);
    const pugi::xml_parse_result parsed = document.load_buffer(text, size, options, pugi::encoding_auto);
    if (!parsed)
        return FailAt(
            TCgats::kErrNotCgats, parsed.offset, std::string("not well-formed XML: ") + parsed.description());
    if (parsed.encoding == pugi::encoding_utf8)
        for (std::size_t i = 0; i < size;) {
            const std::size_t length = Utf8Length(reinterpret_cast<const unsigned char*>(text) + i, size - i);
            if (length == 0)
                return FailAt(TCgats::kErrNotCgats, static_cast<std::ptrdiff_t>(i),
                    "not well-formed XML: a byte that is no UTF-8 text");
            i += length;
        }
    for (const pugi::xml_node& node : document.children())
        if (node.type() == pugi::node_doctype)
            return Fail(TCgats::kErrNotCgats, node, "a document type declaration is not accepted");
    const pugi::xml_node root = document.document_element();
    if (!CheckTree(root))
        return false;
    const char* rootName = std::strrchr(root.name(), ':');
    rootName = rootName ? rootName + 1 : root.name();
    if (std::strcmp(rootName, "CxF") != 0 || !names.Bind(root, kCxfCoreNamespace) || !names.Is(root, "CxF"))
        return Fail(TCgats::kErrNotCgats, root,
            std::string("the root element ") + root.name() + " is not CxF in the namespace "
                + kCxfCoreNamespace);
    if (!ReadFileInformation(names.Child(root, "FileInformation")))
        return false;
    const pugi::xml_node resources = names.Child(root, "Resources");
    if (!ReadSetups(names.Child(resources, "ColorSpecificationCollection")))
        return false;
    const pugi::xml_node objects = names.Child(resources, "ObjectCollection");
    for (pugi::xml_node object = objects.first_child(); object; object = object.next_sibling())
        if (names.Is(object, "Object") && !ReadObject(object))
            return false;
    KeepCustomResources(names.Child(root, "CustomResources"));
    WriteText(cgats);
    return true;
}

// Collects what pugixml prints.
struct TextWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override
    {
        text.append(static_cast<const char*>(data), size);
    }
};

// What a CGATS value cannot hold (and "%" itself) as %XX.
std::string PercentEncoded(const std::string& xml)
{
    std::string out;
    constexpr const char* kHex = "0123456789ABCDEF";
    for (char c : xml) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%' || c == '"' || byte < 0x20)
            out.append(1, '%').append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
        else
            out += c;
    }
    return out;
}

// Each element child with the namespace declarations of its ancestors it does not make itself, so
// that it stands alone wherever it is written back.
void CxfReader::KeepCustomResources(const pugi::xml_node& custom)
{
    TextWriter xml;
    for (pugi::xml_node child = custom.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        pugi::xml_document alone;
        pugi::xml_node copy = alone.append_copy(child);
        for (pugi::xml_node up = custom; up; up = up.parent())
            for (const pugi::xml_attribute& a : up.attributes()) {
                const bool declaration
                    = std::strncmp(a.name(), "xmlns", 5) == 0 && (a.name()[5] == '\0' || a.name()[5] == ':');
                if (declaration && !copy.attribute(a.name()))
                    copy.append_attribute(a.name()) = a.value();
            }
        alone.save(xml, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    }
    const std::string encoded = PercentEncoded(xml.text);
    for (std::size_t at = 0; at < encoded.size();) {
        std::size_t end = std::min(at + kCxfCustomResourcesLine, encoded.size());
        // Never inside a %XX ("%" starts one and nothing else).
        if (end < encoded.size())
            end -= encoded[end - 1] == '%' ? 1 : encoded[end - 2] == '%' ? 2 : 0;
        header.emplace_back(kCxfCustomResourcesKeyword, "\"" + encoded.substr(at, end - at) + "\"");
        at = end;
    }
}

// Nesting and attribute sizes, in one pass that keeps its own stack.
bool CxfReader::CheckTree(const pugi::xml_node& root)
{
    int depth = 0;
    pugi::xml_node node = root;
    while (node) {
        for (const pugi::xml_attribute& a : node.attributes())
            if (std::strlen(a.value()) > kMaxAttributeLength)
                return Fail(TCgats::kErrNotCgats, node,
                    std::string("attribute ") + a.name() + " of " + node.name() + " is over 4095 characters");
        if (node.first_child()) {
            if (++depth > kMaxDepth)
                return Fail(TCgats::kErrNotCgats, node, "elements nested more than 64 deep");
            node = node.first_child();
            continue;
        }
        while (node && node != root && !node.next_sibling()) {
            node = node.parent();
            --depth;
        }
        node = node == root ? pugi::xml_node() : node.next_sibling();
    }
    return true;
}

bool CxfReader::ReadFileInformation(const pugi::xml_node& info)
{
    const std::pair<const char*, const char*> fixed[] = { { "Creator", "ORIGINATOR" },
        { "CreationDate", "CREATED" }, { "Description", "FILE_DESCRIPTOR" }, { "Comment", "CXF_COMMENT" } };
    for (const auto& [element, keyword] : fixed) {
        const pugi::xml_node node = names.Child(info, element);
        // A CGATS header value holds no more.
        if (std::strlen(node.child_value()) > kMaxAttributeLength)
            return Fail(TCgats::kErrNotCgats, node, std::string(node.name()) + " is over 4095 characters");
        if (node)
            header.emplace_back(keyword, Quoted(node.child_value()));
    }
    // A tag of one of those keywords is what CGATS held where CxF3 needs another form (a creation
    // date that is no xs:dateTime): it takes the element's place.
    names.Children(info, "Tag", [&](const pugi::xml_node& tag) {
        const std::string keyword = HeaderKeyword(tag.attribute("Name").value());
        const std::string value = Quoted(tag.attribute("Value").value());
        for (const auto& [element, fixedKeyword] : fixed)
            if (keyword == fixedKeyword)
                for (auto& line : header)
                    if (line.first == keyword)
                        return void(line.second = value);
        header.emplace_back(keyword, value);
    });
    return true;
}

std::string ObserverText(const std::string& cxf)
{
    if (cxf == "2_Degree")
        return "2 degree";
    if (cxf == "10_Degree")
        return "10 degree";
    return cxf;
}

// The ISO 13655 measurement condition of a device illumination.
std::string ConditionText(const pugi::xml_node& illumination)
{
    static const std::pair<const char*, const char*> kConditions[] = { { "M0_Incandescent", "M0" },
        { "M1_Daylight", "M1" }, { "M2_UVExcluded", "M2" }, { "M3_Polarized", "M3" } };
    const std::string value = illumination.child_value();
    for (const auto& [cxf, cgats] : kConditions)
        if (value == cxf)
            return cgats;
    const char* custom = illumination.attribute("CustomType").value();
    return value == "Custom" && *custom ? custom : value;
}

bool CxfReader::ReadSetups(const pugi::xml_node& collection)
{
    for (pugi::xml_node node = collection.first_child(); node; node = node.next_sibling()) {
        if (!names.Is(node, "ColorSpecification"))
            continue;
        Setup setup;
        const pugi::xml_node tristimulus = names.Child(node, "TristimulusSpec");
        const pugi::xml_node illuminant = names.Child(tristimulus, "Illuminant");
        const pugi::xml_node custom = names.Child(tristimulus, "CustomIlluminant");
        const char* named = (illuminant ? illuminant : custom).attribute("Name").value();
        setup.illuminant = *named ? named : illuminant ? illuminant.child_value() : custom ? "Custom" : "";
        setup.observer = ObserverText(names.Text(tristimulus, "Observer"));
        for (const CxfMethod& m : kCxfMethods)
            if (std::strcmp(names.Text(tristimulus, "Method"), m.method) == 0)
                setup.integration = m.integration;
        const pugi::xml_node measurement = names.Child(node, "MeasurementSpec");
        const pugi::xml_node range = names.Child(measurement, "WavelengthRange");
        if (range) {
            WholeNumber(range.attribute("StartWL").value(), setup.startWL);
            WholeNumber(range.attribute("Increment").value(), setup.increment);
        }
        const pugi::xml_node geometry = names.Child(measurement, "GeometryChoice").first_child();
        if (names.Is(geometry, "SingleAngle"))
            setup.geometry = std::string(names.Text(geometry, "IlluminationAngle")) + "/"
                + names.Text(geometry, "MeasurementAngle");
        else if (names.Local(geometry))
            setup.geometry = *geometry.child_value() ? geometry.child_value() : names.Local(geometry);
        if (setup.geometry == kUnstatedGeometry)
            setup.geometry.clear();
        setup.calibration = names.Text(measurement, "CalibrationStandard");
        const pugi::xml_node device = names.Child(measurement, "Device");
        setup.instrument = names.Text(device, "Manufacturer");
        const std::string model = names.Text(device, "Model");
        setup.instrument += (!setup.instrument.empty() && !model.empty() ? " " : "") + model;
        setup.serial = names.Text(device, "SerialNumber");
        const pugi::xml_node filter = names.Child(device, "DeviceFilter");
        const char* described = filter.attribute("FilterDescription").value();
        setup.filter = *described ? described : filter.child_value();
        setup.condition = ConditionText(names.Child(device, "DeviceIllumination"));
        setups[node.attribute("Id").value()] = setup;
    }
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool CxfReader::Number(const pugi::xml_node& node, std::string_view text, std::string_view& number)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    const char* last = text.data() + text.size();
    double value = 0.0;
    if (text.empty() || ParseDouble(text.data(), last, value) != last || !std::isfinite(value))
        return Fail(TCgats::kErrNotANumber, node,
            std::string(node.name()) + " holds \"" + std::string(text.substr(0, 40))
                + "\", which is not a number");
    number = text;
    return true;
}

bool CxfReader::Number(const pugi::xml_node& node, std::string_view text, std::string& number)
{
    std::string_view view;
    if (!Number(node, text, view))
        return false;
    number.assign(view);
    return true;
}

void CxfReader::AddCell(Row& row, FieldEntry* field, std::string_view value)
{
    if (field->second == objectNumber)
        return;
    field->second = objectNumber;
    if (!row.fields.empty())
        row.values += '\t';
    row.values.append(value);
    row.fields.push_back(field);
}

FieldEntry* CxfReader::SpectralField(int wavelength)
{
    if (spectralFields.empty())
        spectralFields.resize(kMaxWavelength + 1, nullptr);
    FieldEntry*& field = spectralFields[static_cast<std::size_t>(wavelength)];
    if (!field) {
        char name[32];
        std::snprintf(name, sizeof name, "SPECTRAL_NM_%03d", wavelength);
        field = Field(name);
    }
    return field;
}

bool CxfReader::ReadObject(const pugi::xml_node& object)
{
    Row row;
    ++objectNumber;
    // The writer's own tags: the sample's name where it is no NCName, the spectra's scale.
    std::string id = object.attribute("Id").value();
    names.Children(object, "TagCollection", [&](const pugi::xml_node& collection) {
        if (std::strcmp(collection.attribute("Name").value(), kCgatsTagCollection) == 0)
            names.Children(collection, "Tag", [&](const pugi::xml_node& tag) {
                const char* name = tag.attribute("Name").value();
                if (std::strcmp(name, kSpectralNormTag) == 0)
                    row.shift = std::strcmp(tag.attribute("Value").value(), "100") == 0 ? 2 : 0;
                if (std::strcmp(name, kSampleIdTag) == 0)
                    id = tag.attribute("Value").value();
            });
    });
    AddCell(row, kSampleIdTag, Quoted(id.c_str()));
    AddCell(row, "SAMPLE_NAME", Quoted(object.attribute("Name").value()));
    AddCell(row, "OBJECT_TYPE", Quoted(object.attribute("ObjectType").value()));
    if (const pugi::xml_attribute guid = object.attribute("GUID"))
        AddCell(row, "OBJECT_GUID", Quoted(guid.value()));
    if (const pugi::xml_node created = names.Child(object, "CreationDate"))
        AddCell(row, "CREATION_DATE", Quoted(created.child_value()));
    if (!ReadDeviceValues(names.Child(object, "DeviceColorValues"), row)
        || !ReadColorValues(names.Child(object, "ColorValues"), row))
        return false;
    names.Children(object, "TagCollection", [&](const pugi::xml_node& collection) {
        const std::string prefix = collection.attribute("Name").value();
        const bool own = prefix == kCgatsTagCollection;
        names.Children(collection, "Tag", [&](const pugi::xml_node& tag) {
            const std::string name = tag.attribute("Name").value();
            const char* value = tag.attribute("Value").value();
            if (own && (name == kSpectralNormTag || name == kSampleIdTag))
                return;
            if (own)
                AddCell(row, FieldName(name), Quoted(value));
            else
                AddCell(row, FieldName(prefix + "_" + name), Quoted(value));
        });
    });
    if (row.fields.size() > kMaxCells)
        return Fail(TCgats::kErrNotCgats, object, "Object holds more values than a table can");
    AddRow(row);
    return true;
}

bool CxfReader::ReadTriple(const pugi::xml_node& value, const char* const (&elements)[3],
    const char* const (&fields)[3], Row& row, std::string* setup)
{
    std::string number;
    for (int i = 0; i < 3; ++i) {
        const pugi::xml_node element = names.Child(value, elements[i]);
        if (!element)
            return Fail(TCgats::kErrNotANumber, value, std::string(value.name()) + " has no " + elements[i]);
        if (!Number(element, element.child_value(), number))
            return false;
        if (fields[i])
            AddCell(row, fields[i], number);
    }
    if (setup && setup->empty())
        *setup = value.attribute("ColorSpecification").value();
    return true;
}

bool CxfReader::ReadColorValues(const pugi::xml_node& values, Row& row)
{
    static const char* const kLab[] = { "L", "A", "B" };
    static const char* const kLabFields[] = { "LAB_L", "LAB_A", "LAB_B" };
    static const char* const kLch[] = { "L", "C", "H" };
    static const char* const kLchFields[] = { "LAB_L", "LAB_C", "LAB_H" };
    static const char* const kXyz[] = { "X", "Y", "Z" };
    static const char* const kXyzFields[] = { "XYZ_X", "XYZ_Y", "XYZ_Z" };
    static const char* const kXyy[] = { "x", "y", "Y" };
    static const char* const kXyyFields[] = { "XYY_X", "XYY_Y", "XYY_CAPY" };
    for (pugi::xml_node value = values.first_child(); value; value = value.next_sibling()) {
        const char* local = names.Local(value);
        bool ok = true;
        if (!local)
            continue;
        if (!std::strcmp(local, "ReflectanceSpectrum") || !std::strcmp(local, "TransmittanceSpectrum")
            || !std::strcmp(local, "EmissiveSpectrum"))
            ok = ReadSpectrum(value, row);
        else if (!std::strcmp(local, "CustomSpectrum"))
            ok = ReadCustomSpectrum(value, row);
        else if (!std::strcmp(local, "ColorCIELab"))
            ok = ReadTriple(value, kLab, kLabFields, row, &row.colorSetup);
        else if (!std::strcmp(local, "ColorCIELCh"))
            ok = ReadTriple(value, kLch, kLchFields, row, &row.colorSetup);
        else if (!std::strcmp(local, "ColorCIEXYZ"))
            ok = ReadTriple(value, kXyz, kXyzFields, row, &row.colorSetup);
        else if (!std::strcmp(local, "ColorCIExyY"))
            ok = ReadTriple(value, kXyy, kXyyFields, row, &row.colorSetup);
        else if (!std::strcmp(local, "ColorDensity"))
            ok = ReadDensity(value, row);
        if (!ok)
            return false;
    }
    return true;
}

// A density through a red, green, blue or visual filter as CGATS.17 names it; through other
// filters (the inks', A, B, ...) it has no CGATS field and is passed over.
bool CxfReader::ReadDensity(const pugi::xml_node& density, Row& row)
{
    static const std::pair<const char*, const char*> kFilters[]
        = { { "Red", "D_RED" }, { "Green", "D_GREEN" }, { "Blue", "D_BLUE" }, { "Visual", "D_VIS" } };
    const std::string filter = names.Text(density, "Filter");
    for (const auto& [cxf, field] : kFilters) {
        if (filter != cxf)
            continue;
        const pugi::xml_node value = names.Child(density, "Density");
        std::string_view number;
        if (!Number(value ? value : density, value.child_value(), number))
            return false;
        AddCell(row, field, number);
    }
    return true;
}

bool CxfReader::ReadSpectrum(const pugi::xml_node& spectrum, Row& row)
{
    const std::string setupId = spectrum.attribute("ColorSpecification").value();
    const auto found = setups.find(setupId);
    if (found == setups.end() || found->second.increment <= 0)
        return Fail(TCgats::kErrNotCgats, spectrum,
            std::string(spectrum.name()) + ": its ColorSpecification \"" + setupId
                + "\" gives no WavelengthRange Increment");
    int start = found->second.startWL;
    if (const pugi::xml_attribute own = spectrum.attribute("StartWL"))
        WholeNumber(own.value(), start);
    if (start <= 0 || start > kMaxWavelength || found->second.increment > kMaxWavelength)
        return Fail(TCgats::kErrNotCgats, spectrum,
            std::string(spectrum.name()) + " has no StartWL and Increment within 1 to 9999 nm");
    row.spectralSetup = setupId;
    row.reflectance = !names.Is(spectrum, "EmissiveSpectrum");
    const int shift = row.reflectance ? row.shift : 0;
    const char* p = spectrum.child_value();
    std::string_view number;
    for (int wavelength = start;; wavelength += found->second.increment) {
        while (IsBlank(*p))
            ++p;
        if (!*p)
            break;
        const char* end = p;
        while (*end && !IsBlank(*end))
            ++end;
        if (!Number(spectrum, std::string_view(p, static_cast<std::size_t>(end - p)), number))
            return false;
        if (wavelength > kMaxWavelength)
            return Fail(
                TCgats::kErrNotCgats, spectrum, std::string(spectrum.name()) + " runs beyond 9999 nm");
        if (shift)
            AddCell(row, SpectralField(wavelength), ShiftDecimal(std::string(number), shift));
        else
            AddCell(row, SpectralField(wavelength), number);
        p = end;
    }
    return true;
}

bool CxfReader::ReadCustomSpectrum(const pugi::xml_node& spectrum, Row& row)
{
    std::string number;
    for (pugi::xml_node point = spectrum.first_child(); point; point = point.next_sibling()) {
        if (!names.Is(point, "SpectralPoint"))
            continue;
        double wavelength = 0.0;
        const char* wl = point.attribute("WL").value();
        const char* end = ParseDouble(wl, nullptr, wavelength);
        if (!end || *end || wavelength != std::floor(wavelength) || wavelength < 1
            || wavelength > kMaxWavelength)
            return Fail(TCgats::kErrNotANumber, point,
                std::string("SpectralPoint WL \"") + wl + "\" is no whole wavelength");
        if (!Number(point, point.child_value(), number))
            return false;
        AddCell(row, SpectralField(static_cast<int>(wavelength)),
            row.shift ? ShiftDecimal(number, row.shift) : number);
    }
    row.spectralSetup = spectrum.attribute("ColorSpecification").value();
    row.reflectance = true;
    return true;
}

bool CxfReader::ReadDeviceValues(const pugi::xml_node& values, Row& row)
{
    static const char* const kCmy[] = { "Cyan", "Magenta", "Yellow" };
    static const char* const kCmyFields[] = { "CMYK_C", "CMYK_M", "CMYK_Y" };
    static const char* const kRgb[] = { "R", "G", "B" };
    static const char* const kNone[] = { nullptr, nullptr, nullptr };
    static const char* const kRgbFields[] = { "RGB_R", "RGB_G", "RGB_B" };
    std::string number;
    for (pugi::xml_node value = values.first_child(); value; value = value.next_sibling()) {
        const char* local = names.Local(value);
        if (!local)
            continue;
        if (!std::strcmp(local, "ColorCMYK") || !std::strcmp(local, "ColorCMYKPlusN")) {
            const pugi::xml_node black = names.Child(value, "Black");
            if (!ReadTriple(value, kCmy, kCmyFields, row, nullptr))
                return false;
            if (!black)
                return Fail(TCgats::kErrNotANumber, value, std::string(value.name()) + " has no Black");
            if (!Number(black, black.child_value(), number))
                return false;
            AddCell(row, "CMYK_K", number);
        }
        if (!std::strcmp(local, "ColorCMYKPlusN") || !std::strcmp(local, "ColorCustom")) {
            if (!ReadSpots(value, row))
                return false;
        } else if (!std::strcmp(local, "ColorRGB")) {
            if (!ReadTriple(value, kRgb, kNone, row, nullptr))
                return false;
            double range = kDefaultRgbMaxRange;
            if (const pugi::xml_node max = names.Child(value, "MaxRange")) {
                if (!Number(max, max.child_value(), number))
                    return false;
                ParseDouble(number.c_str(), nullptr, range);
                if (range <= 0)
                    return Fail(TCgats::kErrNotANumber, max, "MaxRange is not positive");
            }
            for (int i = 0; i < 3; ++i) {
                const pugi::xml_node channel = names.Child(value, kRgb[i]);
                double v = 0.0;
                Number(channel, channel.child_value(), number);
                ParseDouble(number.c_str(), nullptr, v);
                AddCell(
                    row, kRgbFields[i], range == kPercent ? number : FormatShortest(v * kPercent / range));
            }
        }
    }
    return true;
}

// Spot channels SPOT_k, k the spot's place among the names of the whole file.
bool CxfReader::ReadSpots(const pugi::xml_node& value, Row& row)
{
    std::string number;
    for (pugi::xml_node spot = value.first_child(); spot; spot = spot.next_sibling()) {
        if (!names.Is(spot, "SpotColor"))
            continue;
        const std::string name = CgatsText(names.Text(spot, "Name"));
        const pugi::xml_node percentage = names.Child(spot, "Percentage");
        if (!Number(percentage ? percentage : spot, percentage.child_value(), number))
            return false;
        std::size_t k = 0;
        while (k < spotNames.size() && spotNames[k] != name)
            ++k;
        if (k == spotNames.size())
            spotNames.push_back(name);
        AddCell(row, "SPOT_" + std::to_string(k + 1), number);
    }
    return true;
}

// Rows of the same values under the same ColorSpecifications share a table.
void CxfReader::AddRow(Row& row)
{
    std::string key = row.colorSetup + '\n' + row.spectralSetup + '\n' + std::to_string(row.shift) + '\n';
    // The fields by identity: each name is held once.
    key.append(reinterpret_cast<const char*>(row.fields.data()), row.fields.size() * sizeof row.fields[0]);
    auto [at, added] = groupIndex.emplace(key, groups.size());
    if (added) {
        Group group;
        group.fields = row.fields;
        const auto color = setups.find(row.colorSetup);
        const auto spectral = setups.find(row.spectralSetup);
        group.colorSetup = color == setups.end() ? nullptr : &color->second;
        group.spectralSetup = spectral == setups.end() ? nullptr : &spectral->second;
        group.reflectance = row.reflectance;
        group.percent = row.shift != 0;
        groups.push_back(std::move(group));
    }
    Group& group = groups[at->second];
    group.rows += '\n';
    group.rows += row.values;
    ++group.nrRows;
}

void Line(std::string& out, const char* keyword, const std::string& quoted)
{
    if (!quoted.empty())
        out.append(keyword).append(" ").append(quoted).append("\n");
}

// The conditions of a table: colorimetry as its colorimetric values' ColorSpecification says (the
// spectrum's when it has none), how it was measured as its spectrum's says (else the former's).
void CxfReader::WriteConditions(const Group& group, std::string& out) const
{
    const Setup* weighting = group.colorSetup ? group.colorSetup : group.spectralSetup;
    const Setup* measured = group.spectralSetup ? group.spectralSetup : group.colorSetup;
    if (weighting && !weighting->illuminant.empty())
        Line(out, "WEIGHTING_FUNCTION", Quoted(("ILLUMINANT, " + weighting->illuminant).c_str()));
    if (weighting && !weighting->observer.empty())
        Line(out, "WEIGHTING_FUNCTION", Quoted(("OBSERVER, " + weighting->observer).c_str()));
    if (weighting && !weighting->integration.empty())
        Line(out, "WEIGHTING_FUNCTION", Quoted(("INTEGRATION, " + weighting->integration).c_str()));
    if (!measured)
        return;
    const std::pair<const char*, const std::string*> lines[]
        = { { "MEASUREMENT_CONDITION", &measured->condition }, { "INSTRUMENTATION", &measured->instrument },
              { "SERIAL", &measured->serial }, { "MEASUREMENT_GEOMETRY", &measured->geometry },
              { "FILTER", &measured->filter }, { "CALIBRATION_STANDARD", &measured->calibration } };
    for (const auto& [keyword, value] : lines)
        if (!value->empty())
            Line(out, keyword, Quoted(value->c_str()));
}

void CxfReader::WriteText(std::string& cgats) const
{
    cgats = "CGATS.17\n";
    for (const auto& [keyword, value] : header)
        Line(cgats, keyword.c_str(), value);
    for (const std::string& spot : spotNames)
        Line(cgats, "SPOT_ID", "\"" + spot + "\"");
    for (const Group& group : groups) {
        cgats += "\n";
        WriteConditions(group, cgats);
        if (group.spectralSetup && group.reflectance)
            Line(cgats, "SPECTRAL_NORM", group.percent ? "100" : "1");
        cgats += "NUMBER_OF_FIELDS " + std::to_string(group.fields.size()) + "\nBEGIN_DATA_FORMAT\n";
        for (std::size_t i = 0; i < group.fields.size(); ++i)
            cgats.append(i ? "\t" : "").append(group.fields[i]->first);
        cgats += "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " + std::to_string(group.nrRows) + "\nBEGIN_DATA";
        cgats += group.rows;
        cgats += "\nEND_DATA\n";
    }
}

} // namespace

bool IsXmlText(const char* text)
{
    if (!text)
        return false;
    if (std::strncmp(text, "\xEF\xBB\xBF", 3) == 0)
        text += 3;
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r')
        ++text;
    return *text == '<';
}

bool CxfToCgats(const char* text, std::string& cgats, CxfFault& fault)
{
    return CxfReader(text, fault).Read(cgats);
}

} // namespace tintvale::detail
