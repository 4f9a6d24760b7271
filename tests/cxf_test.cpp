// CxF3 documents read into the CGATS model (each Object a row, a table per set of conditions) and
// CGATS files written as CxF3 that validate against the core schema and read back value for value.
#include "cgats_text.h"

#include "tcgatsinternals.h"
#include "tcgatsvaluelist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Convention = TCgats::Convention;

constexpr const char* kCore = "http://colorexchangeformat.com/CxF3-core";

// A document with the core namespace bound to prefix ("" for the default namespace).
std::string Document(const std::string& prefix, const std::string& resources, const std::string& info = "")
{
    const std::string p = prefix.empty() ? "" : prefix + ":";
    const std::string binding = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + p + "CxF " + binding + "=\"" + kCore
        + "\" xmlns:v=\"urn:vendor\">\n" + info + resources + "</" + p + "CxF>\n";
    // The body is written with "cc:"; other prefixes take its place.
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 3, "cc:") == 0 && i > 0 && (text[i - 1] == '<' || text[i - 1] == '/')) {
            out += p;
            i += 3;
        } else
            out += text[i++];
    }
    return out;
}

const char* const kLabSetups = R"(<cc:ColorSpecificationCollection>
<cc:ColorSpecification Id="D50_set"><cc:TristimulusSpec><cc:Illuminant>D50</cc:Illuminant><cc:Observer>2_Degree</cc:Observer><cc:Method>E308_Table5</cc:Method></cc:TristimulusSpec>
<cc:MeasurementSpec><cc:MeasurementType>Colorimetric_Reflectance</cc:MeasurementType><cc:GeometryChoice><cc:SingleAngle><cc:SingleAngleConfiguration>Annular</cc:SingleAngleConfiguration><cc:IlluminationAngle>45</cc:IlluminationAngle><cc:MeasurementAngle>0</cc:MeasurementAngle></cc:SingleAngle></cc:GeometryChoice>
<cc:Device><cc:Manufacturer>Acme</cc:Manufacturer><cc:Model>Spectro 1</cc:Model><cc:DeviceIllumination>M1_Daylight</cc:DeviceIllumination></cc:Device></cc:MeasurementSpec></cc:ColorSpecification>
<cc:ColorSpecification Id="M0_set"><cc:TristimulusSpec><cc:Illuminant>D65</cc:Illuminant><cc:Observer>10_Degree</cc:Observer><cc:Method>E308_Table5</cc:Method></cc:TristimulusSpec>
<cc:MeasurementSpec><cc:MeasurementType>Spectrum_Reflectance</cc:MeasurementType><cc:GeometryChoice><cc:SphereGeometry>Specular_Included</cc:SphereGeometry></cc:GeometryChoice><cc:WavelengthRange StartWL="380" Increment="10"/>
<cc:Device><cc:Model>Spectro 1</cc:Model><cc:DeviceIllumination>M0_Incandescent</cc:DeviceIllumination></cc:Device></cc:MeasurementSpec></cc:ColorSpecification>
</cc:ColorSpecificationCollection>)";

std::string LabObject(const std::string& id, const std::string& name, const std::string& lab)
{
    return "<cc:Object ObjectType=\"Standard\" Name=\"" + name + "\" Id=\"" + id
        + "\"><cc:CreationDate>2024-03-01T10:00:00Z</cc:CreationDate><cc:ColorValues>"
          "<v:Private>ignored</v:Private><cc:ColorCIELab ColorSpecification=\"D50_set\">"
        + lab + "</cc:ColorCIELab></cc:ColorValues></cc:Object>\n";
}

std::string Objects(const std::string& objects)
{
    return "<cc:Resources><cc:ObjectCollection>\n" + objects + "</cc:ObjectCollection>\n" + kLabSetups
        + "</cc:Resources>\n<cc:CustomResources><v:Anything a=\"1\"/></cc:CustomResources>\n";
}

std::vector<double> Lab(const TCgats& c, int t, int s)
{
    std::vector<double> lab;
    EXPECT_EQ(c.GetLab(t, s, lab), 0);
    return lab;
}

std::string Label(const TCgats& c, int t, int s)
{
    std::string label;
    c.GetSampleLabel(t, s, label);
    return label;
}

// The text of a cell as the model holds it, found by field name: numbers exactly.
std::string CellText(TCgats& c, int t, int s, const std::string& field)
{
    const int f = c.GetFieldNameIndex(t, field.c_str());
    if (f < 0)
        return "<no " + field + ">";
    const TCgatsTable& table = *TCgatsInternals::Tables(c)[t];
    const TCgatsValueList& column = *table.columns[f];
    if (column.GetType() == 2)
        return column.GetString(s) ? column.GetString(s) : "";
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", column.GetDouble(s));
    return text;
}

std::vector<std::string> Keyword(const TCgats& c, const std::string& keyword)
{
    std::vector<std::string> values;
    for (const auto& [k, v] : c.GetKeywords())
        if (k == keyword)
            values.push_back(v);
    return values;
}

TEST(CxfRead, AnyPrefixBoundToTheCoreNamespaceReadsTheSame)
{
    const std::string objects
        = Objects(LabObject("p1", "Paper", "<cc:L>95.5</cc:L><cc:A>-0.25</cc:A><cc:B>2.125</cc:B>")
            + LabObject("p2", "Cyan &amp; more", "<cc:L>55</cc:L><cc:A>-37</cc:A><cc:B>-50.5</cc:B>"));
    for (const std::string prefix : { "cc", "ns0", "" }) {
        SCOPED_TRACE("prefix '" + prefix + "'");
        TCgats c = Parsed(Document(prefix, objects,
            "<cc:FileInformation><cc:Creator>Ink kitchen</cc:Creator></cc:FileInformation>\n"));
        ASSERT_TRUE(c.GetNrTables() == 1 && c.GetNrSamples(0) == 2);
        EXPECT_EQ(Lab(c, 0, 0), (std::vector<double> { 95.5, -0.25, 2.125 }));
        EXPECT_EQ(Lab(c, 0, 1), (std::vector<double> { 55, -37, -50.5 }));
        EXPECT_EQ((std::vector<std::string> { Label(c, 0, 0), CellText(c, 0, 1, "SAMPLE_NAME"),
                      CellText(c, 0, 1, "OBJECT_TYPE"), c.GetOriginator(), c.GetStatedIlluminant(),
                      c.GetStatedObserver(), c.GetMeasurementCondition(), c.GetInstrumentation() }),
            (std::vector<std::string> {
                "p1", "Cyan & more", "Standard", "Ink kitchen", "D50", "2 degree", "M1", "Acme Spectro 1" }));
    }
    // Elements of the core's names under another prefix are not core elements.
    EXPECT_EQ(Parsed(Document("cc", "<other:Resources xmlns:other=\"urn:x\"/>")).GetNrTables(), 0);
}

// Lab under D50/2 and spectra under D65/10 with M0 in one Object: the Lab keeps its conditions, the
// table its measurement condition; spectra and Lab are kept as given even where they disagree.
TEST(CxfRead, LabAndSpectraUnderOtherConditionsInOneObjectKeepTheirOwn)
{
    std::string spectrum;
    for (int i = 0; i < 36; ++i)
        spectrum += (i ? " " : "") + std::to_string(0.5 + i / 100.0).substr(0, 4);
    const std::string object = "<cc:Object ObjectType=\"Target\" Name=\"A1\" Id=\"a1\"><cc:ColorValues>"
                               "<cc:ReflectanceSpectrum ColorSpecification=\"M0_set\" StartWL=\"380\">"
        + spectrum
        + "</cc:ReflectanceSpectrum><cc:ColorCIELab "
          "ColorSpecification=\"D50_set\"><cc:L>10</cc:L><cc:A>0</cc:A>"
          "<cc:B>0</cc:B></cc:ColorCIELab></cc:ColorValues></cc:Object>";
    TCgats c = Parsed(Document("cc", Objects(object)));
    ASSERT_EQ(c.GetNrTables(), 1);
    EXPECT_EQ(c.GetStatedIlluminant() + "/" + c.GetStatedObserver(), "D50/2 degree");
    EXPECT_EQ(Keyword(c, "MEASUREMENT_CONDITION"), (std::vector<std::string> { "M0" }));
    EXPECT_EQ(Keyword(c, "MEASUREMENT_GEOMETRY"), (std::vector<std::string> { "Specular_Included" }));
    EXPECT_EQ(Lab(c, 0, 0), (std::vector<double> { 10, 0, 0 }));
    std::vector<double> factors;
    ASSERT_TRUE(c.GetSpectrum(0, 0, factors) == 0 && factors.size() == 36u);
    EXPECT_EQ((std::vector<double> { factors[0], factors[35] }), (std::vector<double> { 0.5, 0.85 }));
}

// The same targets measured under M0 and M1, Objects of their own with Location tags: a table each.
TEST(CxfRead, MeasurementConditionsOfTheSameTargetsGoToTablesOfTheirOwn)
{
    std::string objects;
    for (const char* condition : { "M0", "M1" })
        for (int row = 1; row <= 2; ++row) {
            const std::string setup = std::string(condition) == "M0" ? "M0_set" : "D50_set",
                              r = std::to_string(row);
            objects += std::string("<cc:Object ObjectType=\"") + condition + "_Measurement\" Name=\"P" + r
                + "\" Id=\"" + condition + "_" + r
                + "\"><cc:CreationDate>2024-03-01T10:00:00Z</cc:CreationDate>"
                + "<cc:ColorValues><cc:ColorCIELab ColorSpecification=\"" + setup + "\"><cc:L>4" + r
                + "</cc:L><cc:A>1</cc:A><cc:B>2</cc:B></cc:ColorCIELab></cc:ColorValues><cc:TagCollection "
                + "Name=\"Location\"><cc:Tag Name=\"Page\" Value=\"1\"/><cc:Tag Name=\"Row\" Value=\"" + r
                + "\"/><cc:Tag Name=\"Column\" Value=\"A\"/></cc:TagCollection></cc:Object>\n";
        }
    TCgats c = Parsed(Document("cc", Objects(objects)));
    ASSERT_EQ(c.GetNrTables(), 2);
    EXPECT_EQ(Keyword(c, "MEASUREMENT_CONDITION"), (std::vector<std::string> { "M0", "M1" }));
    EXPECT_EQ(Keyword(c, "WEIGHTING_FUNCTION"),
        (std::vector<std::string> { "ILLUMINANT, D65", "OBSERVER, 10 degree",
            "INTEGRATION, ASTM E308 Table 5", "ILLUMINANT, D50", "OBSERVER, 2 degree",
            "INTEGRATION, ASTM E308 Table 5" }));
    // Each table answers with its own conditions, not the file's first.
    EXPECT_EQ(
        (std::vector<std::string> { c.GetTableMeasurementCondition(0), c.GetTableMeasurementCondition(1),
            c.GetTableIlluminant(0), c.GetTableIlluminant(1), c.GetTableObserver(1) }),
        (std::vector<std::string> { "M0", "M1", "D65", "D50", "2 degree" }));
    for (int t = 0; t < 2; ++t) {
        ASSERT_EQ(c.GetNrSamples(t), 2);
        EXPECT_EQ((std::vector<std::string> { CellText(c, t, 1, "Location_Row"),
                      CellText(c, t, 0, "Location_Column"), CellText(c, t, 0, "OBJECT_TYPE") }),
            (std::vector<std::string> { "2", "A", t ? "M1_Measurement" : "M0_Measurement" }));
        EXPECT_EQ(Lab(c, t, 1)[0], 42);
    }
}

// One reflectance spectrum on line 4, under a setup whose WavelengthRange has these attributes.
std::string SpectrumDocument(const std::string& range, const std::string& values)
{
    return Document("cc",
        "<cc:Resources><cc:ObjectCollection><cc:Object Id=\"x\" Name=\"x\" ObjectType=\"T\">\n"
        "<cc:ColorValues><cc:ReflectanceSpectrum ColorSpecification=\"s\">"
            + values
            + "</cc:ReflectanceSpectrum></cc:ColorValues></cc:Object></cc:ObjectCollection>"
              "<cc:ColorSpecificationCollection><cc:ColorSpecification Id=\"s\"><cc:MeasurementSpec>"
              "<cc:WavelengthRange "
            + range
            + "/></cc:MeasurementSpec></cc:ColorSpecification></cc:ColorSpecificationCollection>"
              "</cc:Resources>");
}

TEST(CxfRead, FiveNanometreSpectraTakeTheStepOfTheirWavelengthRange)
{
    std::string values;
    for (int i = 0; i < 81; ++i)
        values += " 0." + std::to_string(100 + i);
    TCgats c = Parsed(SpectrumDocument("StartWL=\"380\" Increment=\"5\"", values));
    std::vector<int> nm, expected;
    for (int w = 380; w <= 780; w += 5)
        expected.push_back(w);
    EXPECT_TRUE(c.GetWaveLengths(0, nm) == 0 && nm == expected);
    std::vector<double> factors;
    EXPECT_TRUE(c.GetSpectrum(0, 0, factors) == 0 && factors.size() == 81u && factors[80] == 0.18);
}

// A control strip: CMYK and spectra, RGB in 0-255, a spot colour; numeric Ids, no CreationDate.
TEST(CxfRead, ControlStripWithDeviceValuesAndNumericIds)
{
    std::string spectrum;
    for (int i = 0; i < 36; ++i)
        spectrum += " 0.25";
    std::string objects;
    for (int k = 1; k <= 3; ++k)
        objects += "<cc:Object ObjectType=\"Target\" Name=\"patch " + std::to_string(k) + "\" Id=\""
            + std::to_string(k) + "\"><cc:ColorValues><cc:ReflectanceSpectrum ColorSpecification=\"M0_set\">"
            + spectrum
            + "</cc:ReflectanceSpectrum><cc:ColorDensity ColorSpecification=\"M0_set\"><cc:Density>1.25"
              "</cc:Density><cc:Status>T</cc:Status><cc:Filter>Red</cc:Filter></"
              "cc:ColorDensity><cc:ColorDensity "
              "ColorSpecification=\"M0_set\"><cc:Density>0.5</cc:Density><cc:Status>T</cc:Status><cc:Filter>"
              "Cyan</cc:Filter></cc:ColorDensity></cc:ColorValues><cc:DeviceColorValues><cc:ColorCMYKPlusN "
              "ColorSpecification=\"M0_set\"><cc:Cyan>"
            + std::to_string(k * 10)
            + "</cc:Cyan><cc:Magenta>0</cc:Magenta><cc:Yellow>12.5</cc:Yellow><cc:Black>0</cc:Black>"
              "<cc:SpotColor><cc:Name>Brand Red</cc:Name><cc:Percentage>40</cc:Percentage></cc:SpotColor>"
              "</cc:ColorCMYKPlusN><cc:ColorRGB ColorSpecification=\"M0_set\"><cc:MaxRange>255</cc:MaxRange>"
              "<cc:R>255</cc:R><cc:G>51</cc:G><cc:B>0</cc:B></cc:ColorRGB></cc:DeviceColorValues></"
              "cc:Object>\n";
    TCgats c = Parsed(Document("cc", Objects(objects)));
    ASSERT_EQ(c.GetNrSamples(0), 3);
    std::vector<double> cmyk, spots;
    ASSERT_EQ(c.GetCoordinates(0, 1, cmyk), 0);
    EXPECT_EQ(cmyk, (std::vector<double> { 20, 0, 12.5, 0 }));
    ASSERT_EQ(c.GetSpotCoordinates(0, 0, spots), 0);
    EXPECT_EQ(spots, (std::vector<double> { 40 }));
    std::vector<const char*> spotNames;
    ASSERT_EQ(c.GetSpotColorDescriptions(0, spotNames), 0);
    // 255 of 255 is 100 %, 51 of 255 is 20 %. A red-filter density is D_RED; one through the ink's
    // filter has no CGATS field.
    EXPECT_EQ((std::vector<std::string> { Label(c, 0, 2), spotNames.at(0), CellText(c, 0, 0, "RGB_R"),
                  CellText(c, 0, 0, "RGB_G"), CellText(c, 0, 2, "D_RED") }),
        (std::vector<std::string> { "3", "Brand Red", "100", "20", "1.25" }));
    EXPECT_EQ(Keyword(c, "SPECTRAL_NORM"), (std::vector<std::string> { "1" }));
    EXPECT_EQ(c.GetNrFields(0), 3 + 36 + 1 + 4 + 1 + 3);
    // Under the same conditions, patches with other kinds of values make tables of their own.
    const std::string xyz
        = "<cc:Object ObjectType=\"Target\" Name=\"x\" Id=\"x\"><cc:ColorValues><cc:ColorCIEXYZ "
          "ColorSpecification=\"D50_set\"><cc:X>1</cc:X><cc:Y>2</cc:Y><cc:Z>3</cc:Z>"
          "</cc:ColorCIEXYZ></cc:ColorValues></cc:Object>\n";
    TCgats mixed = Parsed(
        Document("cc", Objects(LabObject("a", "a", "<cc:L>50</cc:L><cc:A>1</cc:A><cc:B>2</cc:B>") + xyz)));
    ASSERT_EQ(mixed.GetNrTables(), 2);
    EXPECT_EQ(Lab(mixed, 0, 0), (std::vector<double> { 50, 1, 2 }));
    EXPECT_EQ(CellText(mixed, 1, 0, "XYZ_Z"), "3");
}

TEST(CxfRead, FileWithoutObjectsKeepsItsInformation)
{
    TCgats c = Parsed(Document("ns0", "<ns0:Resources/>",
        "<cc:FileInformation><cc:Creator>Brand service</cc:Creator><cc:CreationDate>2023-01-02T03:04:05Z"
        "</cc:CreationDate><cc:Description>Spot colour \"standards\"\nsecond line</cc:Description>"
        "<cc:Tag Name=\"Customer\" Value=\"ACME\"/></cc:FileInformation>"));
    EXPECT_EQ(c.GetNrTables(), 0);
    // CGATS values carry no double quote or line end.
    EXPECT_EQ((std::vector<std::string> {
                  c.GetOriginator(), c.GetCreated(), c.GetFileDescriptor(), c.GetKeywordValue("Customer") }),
        (std::vector<std::string> {
            "Brand service", "2023-01-02T03:04:05Z", "Spot colour 'standards' second line", "ACME" }));
}

// Tags that would read as CGATS structure stay tags.
TEST(CxfRead, TagsNeverBecomeStructure)
{
    const std::string objects = Objects(LabObject("a", "a", "<cc:L>50</cc:L><cc:A>1</cc:A><cc:B>2</cc:B>"));
    TCgats kept = Parsed(Document("cc", objects,
        "<cc:FileInformation><cc:Tag Name=\"BEGIN_NOTES\" Value=\"x\"/><cc:Tag Name=\"NUMBER_OF_SETS\" "
        "Value=\"9\"/></cc:FileInformation>"));
    EXPECT_EQ(kept.GetNrSamples(0), 1);
    EXPECT_STREQ(kept.GetKeywordValue("CXF_BEGIN_NOTES"), "x");
    EXPECT_STREQ(kept.GetKeywordValue("CXF_NUMBER_OF_SETS"), "9");
}

struct Refusal {
    std::string text;
    int code, line;
    const char* names; // what the message must name
};

TEST(CxfRead, RefusesWhatCannotBeReadRightWithElementAndLine)
{
    const std::string good
        = Document("cc", Objects(LabObject("a", "a", "<cc:L>50</cc:L><cc:A>1</cc:A><cc:B>2</cc:B>")));
    // 64 levels of elements that hold others read; one more does not.
    const auto nested = [](int levels) {
        std::string inner = "<x/>";
        for (int i = 1; i < levels; ++i)
            inner = "<x>" + inner + "</x>";
        return "<cc:CxF xmlns:cc=\"" + std::string(kCore) + "\">" + inner + "</cc:CxF>";
    };
    const std::vector<Refusal> cases = {
        { "<?xml version=\"1.0\"?>\n<cc:CxF xmlns:cc=\"" + std::string(kCore)
                + "\">\n<cc:Resources>\n</cc:CxF>\n",
            TCgats::kErrNotCgats, 4, "well-formed" },
        { "<?xml version=\"1.0\"?>\n<Root xmlns=\"urn:other\"/>\n", TCgats::kErrNotCgats, 2, "Root" },
        { "<CxF><Resources/></CxF>", TCgats::kErrNotCgats, 1, "namespace" },
        { Document("cc", Objects(LabObject("a", "a", "<cc:L>50</cc:L>\n<cc:A>n/a</cc:A><cc:B>2</cc:B>"))),
            TCgats::kErrNotANumber, 5, "cc:A" },
        { Document("cc", Objects(LabObject("a", "a", "<cc:L>50</cc:L><cc:B>2</cc:B>"))),
            TCgats::kErrNotANumber, 4, "no A" },
        { "<?xml version=\"1.0\"?>\n<!DOCTYPE cc:CxF [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>\n"
                + good.substr(good.find('\n') + 1),
            TCgats::kErrNotCgats, 2, "document type" },
        { nested(65), TCgats::kErrNotCgats, 1, "nested" },
        // A tag's text that is no number where its CGATS field holds numbers is not misread.
        { Document("cc",
              Objects("<cc:Object ObjectType=\"Target\" Name=\"s\" Id=\"s\"><cc:DeviceColorValues>"
                      "<cc:ColorRGB><cc:R>1</cc:R><cc:G>0</cc:G><cc:B>0</cc:B><cc:MaxRange>lots"
                      "</cc:MaxRange></cc:ColorRGB></cc:DeviceColorValues></cc:Object>\n")),
            TCgats::kErrNotANumber, 4, "cc:MaxRange holds \"lots\"" },
        { SpectrumDocument("Increment=\"10\"", "0.1 0.2"), TCgats::kErrNotCgats, 4, "has no StartWL" },
        { SpectrumDocument("StartWL=\"380\" Increment=\"2147483647\"", "0.1 0.2"), TCgats::kErrNotCgats, 4,
            "Increment within" },
        { SpectrumDocument("StartWL=\"10000\" Increment=\"1\"", "0.1"), TCgats::kErrNotCgats, 4,
            "has no StartWL" },
        { SpectrumDocument("StartWL=\"9999\" Increment=\"1\"", "0.1 0.2"), TCgats::kErrNotCgats, 4,
            "beyond 9999 nm" },
        { Document("cc", "",
              "<cc:FileInformation>\n<cc:Description>" + std::string(4096, 'd')
                  + "</cc:Description></cc:FileInformation>"),
            TCgats::kErrNotCgats, 4, "Description is over" },
        { Document("cc",
              "<cc:Resources><cc:ObjectCollection><cc:Object Id=\"x\" Name=\"" + std::string(5000, 'n')
                  + "\" ObjectType=\"T\"/></cc:ObjectCollection></cc:Resources>"),
            TCgats::kErrNotCgats, 3, "Name" },
        { Document("cc",
              Objects(
                  "<cc:Object ObjectType=\"T\" Name=\"b\" Id=\"b\"><cc:TagCollection Name=\"CGATS\"><cc:Tag "
                  "Name=\"D_VIS\" Value=\"dark\"/></cc:TagCollection></cc:Object>\n")),
            TCgats::kErrNotANumber, 0, "CxF3" },
        // Found by the fuzzer: an Id of bytes that are no UTF-8 read, then the writer refused it.
        { Document("cc",
              "<cc:Resources>\n<cc:ObjectCollection><cc:Object Id=\"x\xff\" Name=\"x\" ObjectType=\"T\"/>"
              "</cc:ObjectCollection></cc:Resources>"),
            TCgats::kErrNotCgats, 4, "no UTF-8" },
    };
    for (const Refusal& r : cases) {
        SCOPED_TRACE(r.text.substr(0, 200));
        TCgats c(r.text.c_str(), 0);
        EXPECT_EQ(c.GetErrorCode(), r.code) << c.GetErrorMsg();
        EXPECT_EQ(c.GetErrorLine(), r.line);
        EXPECT_TRUE(Has(c.GetErrorMsg(), r.names)) << c.GetErrorMsg();
        EXPECT_EQ(c.GetNrTables(), 0);
    }
    EXPECT_EQ(TCgats(good.c_str(), 0).GetErrorCode(), 0);
    // The last wavelength a field can name is 9999 nm; so is the longest step.
    TCgats last = Parsed(SpectrumDocument("StartWL=\"9999\" Increment=\"9999\"", "0.25"));
    EXPECT_EQ(CellText(last, 0, 0, "SPECTRAL_NM_9999"), "0.25");
    EXPECT_EQ(TCgats(nested(64).c_str(), 0).GetErrorCode(), 0);
    // A document that declares Latin-1 is read in it: 0xE9 is U+00E9.
    const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<cc:CxF xmlns:cc=\""
        + std::string(kCore)
        + "\"><cc:FileInformation><cc:Creator>Caf\xe9</cc:Creator></cc:FileInformation></cc:CxF>\n";
    EXPECT_STREQ(Parsed(latin1).GetOriginator(), "Caf\xc3\xa9");
}

// The core schema's path when both it and xmllint are at hand, else "".
std::string Schema()
{
    const std::string schema = std::string(TINTVALE_SOURCE_DIR) + "/../shared/data/cxf/CxF3_Core.xsd";
    return std::ifstream(schema) && std::system("xmllint --version >/dev/null 2>&1") == 0 ? schema : "";
}

// Whether xmllint finds the file valid against the core schema; true when either is missing (the
// schema test says so by skipping).
bool SchemaValid(const std::string& path)
{
    const std::string schema = Schema();
    return schema.empty()
        || std::system(("xmllint --noout --schema '" + schema + "' '" + path + "' 2>/dev/null").c_str()) == 0;
}

// A CGATS file of two tables under different conditions: percent spectra, device values, Lab,
// densities and a text field, names that are not NCNames.
std::string TwoConditionFile()
{
    std::string nm, percent, factors;
    for (int w = 400; w <= 700; w += 20) {
        nm += " SPECTRAL_NM" + std::to_string(w);
        percent += " " + std::to_string(w / 10) + ".023";
        factors += " 0.0" + std::to_string(w / 10) + "7";
    }
    return "CGATS.17\nORIGINATOR \"press room\"\nFILE_DESCRIPTOR \"two runs\"\nCREATED \"March "
           "2024\"\nPRINT_CONDITIONS \"FOGRA-ish\"\n"
           "KEYWORD \"SampleID\"\nKEYWORD \"Remark\"\nWEIGHTING_FUNCTION \"ILLUMINANT, "
           "D65\"\nWEIGHTING_FUNCTION \"OBSERVER, 10 degree\"\n"
           "MEASUREMENT_CONDITION \"M1\"\nINSTRUMENTATION \"Spectro 2 & co\"\nSPOT_ID \"Brand Red\"\n"
        + Table("SampleID CMYK_C CMYK_M CMYK_Y CMYK_K SPOT_1 RGB_R RGB_G RGB_B LAB_L LAB_A LAB_B D_VIS Remark"
                + nm,
            { "1 100 0 0 0 40.5 0 62.7 100 55.125 -37.0001 -50.3 1.45 \"first <one>\"" + percent,
                "1 0 0 0 0 0 100 100 100 95.00000000000001 -0.5 2.25 0.07 \"\"" + percent })
        + "WEIGHTING_FUNCTION \"ILLUMINANT, D50\"\nWEIGHTING_FUNCTION \"OBSERVER, 2 "
          "degree\"\nMEASUREMENT_CONDITION \"M2\"\n"
        + Table("SampleID LAB_L LAB_A LAB_B" + nm, { "x:1 12.5 3 4" + factors });
}

// The spectra of table t of a, sample by sample, as many as b's and each within tolerance of b's.
void ExpectSameSpectra(const TCgats& a, const TCgats& b, int t, double tolerance)
{
    ASSERT_EQ(a.GetNrSamples(t), b.GetNrSamples(t));
    for (int s = 0; s < a.GetNrSamples(t); ++s) {
        std::vector<double> x, y;
        ASSERT_TRUE(a.GetSpectrum(t, s, x) == 0 && b.GetSpectrum(t, s, y) == 0 && x.size() == y.size()) << s;
        for (std::size_t i = 0; i < x.size(); ++i)
            EXPECT_NEAR(x[i], y[i], tolerance) << "sample " << s << " band " << i;
    }
}

// Every cell of every field of the original, exactly, in the table read back.
void ExpectSameValues(TCgats& original, TCgats& back)
{
    ASSERT_EQ(back.GetNrTables(), original.GetNrTables());
    for (int t = 0; t < original.GetNrTables(); ++t) {
        ASSERT_EQ(back.GetNrSamples(t), original.GetNrSamples(t));
        const TCgatsTableHeader& header = *TCgatsInternals::Tables(original)[t]->Header();
        for (int f = 0; f < header.NrFields(); ++f) {
            std::string name = header.Field(f)->name;
            std::string backName = name == "SampleID" ? "SAMPLE_ID" : name;
            if (header.Field(f)->category == TCgatsField::kSpectral)
                backName = "SPECTRAL_NM_" + std::to_string(header.Field(f)->index);
            for (int s = 0; s < original.GetNrSamples(t); ++s)
                EXPECT_EQ(CellText(back, t, s, backName), CellText(original, t, s, name))
                    << name << " row " << s;
        }
        ExpectSameSpectra(back, original, t, 0.0);
    }
}

TEST(CxfWrite, CgatsToCxfToCgatsKeepsEveryValueAndCondition)
{
    TCgats original = Parsed(TwoConditionFile());
    const std::string cxf = Written(original, Convention::Cxf);
    EXPECT_TRUE(Has(cxf, "<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\">"));
    // RGB 62.7 % is 627 of 1000, the first MaxRange that holds it whole.
    EXPECT_TRUE(Has(cxf, "<cc:MaxRange>1000</cc:MaxRange><cc:R>0</cc:R><cc:G>627</cc:G>"));
    TCgats back = Parsed(cxf);
    ExpectSameValues(original, back);
    EXPECT_EQ(Keyword(back, "WEIGHTING_FUNCTION"), Keyword(original, "WEIGHTING_FUNCTION"));
    EXPECT_EQ(Keyword(back, "MEASUREMENT_CONDITION"), (std::vector<std::string> { "M1", "M2" }));
    std::vector<const char*> spots;
    ASSERT_EQ(back.GetSpotColorDescriptions(0, spots), 0);
    EXPECT_EQ(
        (std::vector<std::string> { back.GetInstrumentation(), back.GetOriginator(), back.GetFileDescriptor(),
            back.GetCreated(), back.GetKeywordValue("PRINT_CONDITIONS"), spots.at(0) }),
        (std::vector<std::string> {
            "Spectro 2 & co", "press room", "two runs", "March 2024", "FOGRA-ish", "Brand Red" }));
    // Written again, the document is the same but for the creation dates it had to make up.
    EXPECT_EQ(Written(back, Convention::Cxf).size(), cxf.size());
    // And as CGATS and ArgyllCMS files.
    TCgats cgats = Parsed(Written(back, Convention::Cgats));
    ExpectSameValues(back, cgats);
    TCgats argyll = Parsed(Written(back, Convention::Argyll));
    for (int t = 0; t < back.GetNrTables(); ++t) {
        ExpectSameSpectra(argyll, back, t, 1e-15);
        for (int s = 0; s < back.GetNrSamples(t); ++s)
            EXPECT_EQ(Lab(argyll, t, s), Lab(back, t, s));
    }
}

// CREATED is the CreationDate when it is an xs:dateTime (W3C XML Schema Datatypes, 3.2.7: an optional
// fraction, then Z or a zone of +hh:mm or -hh:mm); other text stays a Tag beside the date of writing.
TEST(CxfWrite, CreatedIsTheCreationDateOnlyWhenAnXmlDateTime)
{
    const std::pair<std::string, bool> cases[]
        = { { "2024-03-01T10:00:00", true }, { "2024-03-01T10:00:00.25Z", true },
              { "2024-03-01T10:00:00+01:00", true }, { "2024-03-01T10:00:00-05:30", true },
              { "2024-03-01T10:00:00.Z", false }, { "2024-03-01T10:00:00+0100", false },
              { "2024-03-01T10:00:00+01-00", false }, { "2024-03-01T10:00:00+01:0", false },
              { "2024-03-01T10:00:00Z1", false }, { "2024-03-01 10:00:00", false } };
    for (const auto& [created, date] : cases) {
        SCOPED_TRACE(created);
        const TCgats c = Parsed("CGATS.17\nCREATED \"" + created + "\"\n");
        const std::string cxf = Written(c, Convention::Cxf);
        EXPECT_EQ(Has(cxf, "<cc:CreationDate>" + created + "</"), date);
        EXPECT_EQ(Has(cxf, "<cc:Tag Name=\"CREATED\" Value=\"" + created + "\"/>"), !date);
    }
}

// LCh is written where CxF3 can hold it (L and C not negative, h in 0 to 360); other rows keep
// their values as Tags, read back into a table of their own (rows without colour values). The Id is
// SAMPLE_ID's, also ahead of a SampleID.
TEST(CxfWrite, ValuesWithinTheirRangesAreColourValues)
{
    TCgats c = Parsed("CGATS.17\n"
        + Table("SAMPLE_ID SampleID LAB_L LAB_C LAB_H",
            { "a x 50 0 0", "b y 60 20 360", "c z 70 20 360.5", "d w 80 -1 10", "e v 0 5 10" }));
    const std::string cxf = Written(c, Convention::Cxf);
    for (const char* part : { "Id=\"a\">", "<cc:L>50</cc:L><cc:C>0</cc:C><cc:H>0</cc:H>",
             "<cc:L>60</cc:L><cc:C>20</cc:C><cc:H>360</cc:H>", "<cc:Tag Name=\"LAB_H\" Value=\"360.5\"/>",
             "<cc:Tag Name=\"LAB_C\" Value=\"-1\"/>", "<cc:L>0</cc:L><cc:C>5</cc:C><cc:H>10</cc:H>" })
        EXPECT_TRUE(Has(cxf, part)) << part << " in\n" << cxf;
    TCgats back = Parsed(cxf);
    EXPECT_EQ(CellText(back, 0, 1, "LAB_H") + " " + CellText(back, 1, 0, "LAB_H"), "360 360.5");
    // L* 0 is a colour; a spot tint of 150 % is none, and stays a Tag.
    TCgats edges(
        ("CGATS.17\n" + Table("SAMPLE_ID LAB_L LAB_A LAB_B SPOT_1", { "k 0 0 0 150", "m 10 1 1 50" }))
            .c_str(),
        0);
    const std::string edge = Written(edges, Convention::Cxf);
    EXPECT_TRUE(Has(edge, "<cc:L>0</cc:L><cc:A>0</cc:A><cc:B>0</cc:B>")) << edge;
    EXPECT_TRUE(Has(edge, "<cc:Tag Name=\"SPOT_1\" Value=\"150\"/>")) << edge;
    EXPECT_TRUE(Has(edge, "<cc:ColorCustom"));
    EXPECT_EQ(edge.find("<cc:ColorCustom"), edge.rfind("<cc:ColorCustom"));
    // The schema's reflectance lies strictly between -0.1 and 3; a spectrum reaching either bound
    // is a custom one.
    for (const auto& [values, custom] : { std::pair { "0.5 2.999 -0.099", false },
             std::pair { "0.5 3 1", true }, std::pair { "0.5 -0.1 1", true } }) {
        SCOPED_TRACE(values);
        TCgats spectra = Parsed("CGATS.17\nSPECTRAL_NORM \"1\"\n"
            + Table("SPECTRAL_NM400 SPECTRAL_NM410 SPECTRAL_NM420", { values }));
        const std::string written = Written(spectra, Convention::Cxf);
        EXPECT_EQ(Has(written, "<cc:CustomSpectrum"), custom) << written;
        EXPECT_EQ(Has(written, "<cc:ReflectanceSpectrum"), !custom);
    }
}

// A table without a statement of its own takes the file header's, not that of a table before it.
TEST(CxfWrite, ConditionsOfATableAreItsOwnElseTheFiles)
{
    TCgats c = Parsed("CGATS.17\nINSTRUMENTATION \"Header meter\"\nMEASUREMENT_CONDITION \"M0\"\n"
        + Table("SAMPLE_ID LAB_L LAB_A LAB_B", { "a 50 1 2" })
        + "INSTRUMENTATION \"Second meter\"\nMEASUREMENT_CONDITION \"M1\"\n"
        + Table("SAMPLE_ID LAB_L LAB_A LAB_B", { "b 51 1 2" }) + "MEASUREMENT_CONDITION \"M2\"\n"
        + Table("SAMPLE_ID LAB_L LAB_A LAB_B", { "c 52 1 2" }));
    const std::string cxf = Written(c, Convention::Cxf);
    auto count = [&](const std::string& text) {
        int n = 0;
        for (std::size_t at = cxf.find(text); at != std::string::npos; at = cxf.find(text, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("<cc:Model>Header meter</cc:Model>"), 2) << cxf;
    EXPECT_EQ(count("<cc:Model>Second meter</cc:Model>"), 1);
}

// Spectra under a SPECTRAL_NORM other than 1 or 100 are written as factors: 0.5 of 2 is 0.25, on a
// WavelengthRange and point by point alike.
TEST(CxfWrite, SpectraOfAnyNormAreWrittenAsFactors)
{
    for (const auto& [last, written] : { std::pair { "420", ">0.25 0.5 0.75</" },
             std::pair { "430", "<cc:SpectralPoint WL=\"430\">0.75</" } }) {
        SCOPED_TRACE(last);
        TCgats c(
            ("CGATS.17\nSPECTRAL_NORM \"2\"\n"
                + Table(std::string("SPECTRAL_NM400 SPECTRAL_NM410 SPECTRAL_NM") + last, { "0.5 1 1.5" }))
                .c_str(),
            0);
        EXPECT_TRUE(Has(Written(c, Convention::Cxf), written));
    }
}

// xmllint with the core schema, when both are at hand.
TEST(CxfWrite, WrittenDocumentsValidateAgainstTheCoreSchema)
{
    if (Schema().empty())
        GTEST_SKIP() << "xmllint or the CxF3 core schema is not available";
    TCgats original = Parsed(TwoConditionFile());
    const std::string path = testing::TempDir() + "cxf_schema_test.cxf";
    ASSERT_EQ(original.SaveAs(path.c_str(), Convention::Cxf), 0);
    EXPECT_TRUE(SchemaValid(path)) << path;
    // A file without tables is a document without objects.
    ASSERT_EQ(TCgats("CGATS.17\nORIGINATOR \"x\"\n", 0).SaveAs(path.c_str(), Convention::Cxf), 0);
    EXPECT_TRUE(SchemaValid(path));
    std::remove(path.c_str());
}

// What XML cannot carry is refused with the place named, nothing written; UTF-8 text of every
// plane is written and reads back byte for byte, and the document validates.
TEST(CxfWrite, RefusesNonUtf8TextAndNonFiniteNumbersKeepsUtf8)
{
    const std::string head = "CGATS.17\nKEYWORD \"SAMPLE_NAME\"\n";
    const struct {
        std::string header, row, where;
    } refused[] = { { "ORIGINATOR \"Caf\xe9\"\n", "a n 50 0 0", "Creator>Caf" },
        { "", "a Caf\xe9 50 0 0", "Name=\"Caf" }, { "", "a \xc0\xaf 50 0 0", "Name=\"" },
        { "", "a x\xed\xa0\x80 50 0 0", "Name=\"x" }, { "", "a x\xef\xbf\xbe 50 0 0", "Name=\"x" },
        { "PRINT_CONDITIONS \"\xe9t\xe9\"\n", "a n 50 0 0", "Value=\"" },
        { Table("SAMPLE_ID SAMPLE_NAME LAB_L LAB_A LAB_B", { "b m 50 0 0", "c o 50 0 0" }), "a n nan 0 0",
            "field LAB_L of sample 1 of table 2" },
        { "", "a n 50 1e999 0", "field LAB_A of sample 1 of table 1" },
        { "", "a n 50 0 -inf", "field LAB_B of sample 1 of table 1" } };
    const std::string path = testing::TempDir() + "cxf_refused_test.cxf";
    for (const auto& r : refused) {
        const TCgats c
            = Parsed(head + r.header + Table("SAMPLE_ID SAMPLE_NAME LAB_L LAB_A LAB_B", { r.row }));
        char* buffer = reinterpret_cast<char*>(&buffer);
        EXPECT_EQ(c.WriteToBuffer(&buffer, Convention::Cxf), TCgats::kErrConvention) << r.row;
        EXPECT_EQ(buffer, nullptr);
        EXPECT_TRUE(Has(c.GetErrorMsg(), r.where)) << c.GetErrorMsg();
        std::remove(path.c_str());
        EXPECT_EQ(c.SaveAs(path.c_str(), Convention::Cxf), TCgats::kErrConvention);
        EXPECT_EQ(c.GetErrorCode(), TCgats::kErrConvention);
        EXPECT_TRUE(Has(c.GetErrorMsg(), r.where)) << c.GetErrorMsg();
        EXPECT_FALSE(std::ifstream(path)) << "written: " << r.row;
    }
    // Two-, three- and four-byte forms, the last and first code points XML allows beyond ASCII.
    const std::string text
        = "Caf\xc3\xa9 \xe6\x97\xa5 \xf0\x9f\x98\x80 \xef\xbf\xbd \xf4\x8f\xbf\xbf \xc2\x80 \xe0\xa0\x80";
    const TCgats good = Parsed(head + "ORIGINATOR \"" + text + "\"\n"
        + Table("SAMPLE_ID SAMPLE_NAME LAB_L LAB_A LAB_B", { "a \"" + text + "\" 50 0 0" }));
    // A file needs a name.
    EXPECT_EQ(good.SaveAs(nullptr, Convention::Cxf), TCgats::kErrEmptyFileName);
    EXPECT_EQ(good.SaveAs("", Convention::Cxf), TCgats::kErrEmptyFileName);
    ASSERT_EQ(good.SaveAs(path.c_str(), Convention::Cxf), 0) << good.GetErrorMsg();
    TCgats back(path.c_str());
    ASSERT_EQ(back.GetErrorCode(), 0) << back.GetErrorMsg();
    EXPECT_STREQ(back.GetOriginator(), text.c_str());
    EXPECT_EQ(CellText(back, 0, 0, "SAMPLE_NAME"), text);
    EXPECT_TRUE(SchemaValid(path));
    std::remove(path.c_str());
}

// The INTEGRATION this library's integrations state becomes the Method CxF3 names (ASTM E308 at 10
// or 20 nm: Table 5 weights, as they are computed for bandpass-corrected data; 1-nm summation), and
// the Method reads back as a statement that writes the same Method again.
TEST(CxfWrite, IntegrationBecomesTheTristimulusMethodAndBack)
{
    const struct {
        const char *integration, *method, *readBack;
    } cases[] = { { "ASTM E308 10 nm 380-730", "E308_Table5", "ASTM E308 Table 5" },
        { "ASTM E308 20 nm 380-720", "E308_Table5", "ASTM E308 Table 5" },
        { "CIE 15 1 nm 380-780", "E308_1nm", "ASTM E308 1 nm" },
        { "ASTM E308 Table 6", "E308_Table6", "ASTM E308 Table 6" },
        // Summed at 5 nm, point-sampled on the grid, or unparsable: CxF3 has no name for them.
        { "CIE 15 5 nm 380-780", "unknown", nullptr }, { "10 nm 380-730", "unknown", nullptr },
        { "ASTM E308 5 nm 380-780", "unknown", nullptr }, { "ASTM E308 nm", "unknown", nullptr } };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.integration);
        const TCgats c
            = Parsed("CGATS.17\nWEIGHTING_FUNCTION \"ILLUMINANT, D65\"\nWEIGHTING_FUNCTION \"OBSERVER, 10 "
                     "degree\"\nWEIGHTING_FUNCTION \"INTEGRATION, "
                + std::string(k.integration) + "\"\n" + Table("SAMPLE_ID LAB_L LAB_A LAB_B", { "a 50 1 2" }));
        const std::string cxf = Written(c, Convention::Cxf);
        EXPECT_TRUE(Has(
            cxf, "<cc:Observer>10_Degree</cc:Observer><cc:Method>" + std::string(k.method) + "</cc:Method>"))
            << cxf;
        TCgats back = Parsed(cxf);
        std::vector<std::string> weighting = { "ILLUMINANT, D65", "OBSERVER, 10 degree" };
        if (k.readBack)
            weighting.push_back("INTEGRATION, " + std::string(k.readBack));
        EXPECT_EQ(Keyword(back, "WEIGHTING_FUNCTION"), weighting);
        EXPECT_TRUE(
            Has(Written(back, Convention::Cxf), "<cc:Method>" + std::string(k.method) + "</cc:Method>"));
    }
}

// Elements of other namespaces travel through CGATS and back: each with the declarations it needs,
// longer ones over several header lines; a line that is no XML any more is refused on writing.
TEST(CxfWrite, CustomResourcesKeptThroughCgats)
{
    std::string big(5000, 'x');
    big += "\"%&amp;&lt;";
    const std::string custom = "<cc:CustomResources xmlns:w=\"urn:w\" Owner=\"o\" xmlnsx=\"x\"><v:Palette "
                               "id=\"p&quot;1\" n=\"50%\">"
                               "<v:Entry>a &amp; \"b\"\nline</v:Entry></v:Palette>"
                               "<w:Note xmlns:u=\"urn:u\" u:at=\"1\">"
        + big + "</w:Note></cc:CustomResources>\n";
    const std::string objects = "<cc:Resources><cc:ObjectCollection>\n"
        + LabObject("p1", "Paper", "<cc:L>95.5</cc:L><cc:A>-0.25</cc:A><cc:B>2.125</cc:B>")
        + "</cc:ObjectCollection>\n" + kLabSetups + "</cc:Resources>\n" + custom;
    TCgats read = Parsed(Document("cc", objects));
    EXPECT_EQ(Keyword(read, "CXF_CUSTOM_RESOURCES").size(), 2u);
    // Through CGATS text and back to CxF3.
    TCgats cgats = Parsed(Written(read, Convention::Cgats));
    const std::string cxf = Written(cgats, Convention::Cxf);
    const std::size_t from = cxf.find("<cc:CustomResources>");
    const std::size_t to = cxf.find("</cc:CustomResources>");
    ASSERT_NE(from, std::string::npos) << cxf;
    ASSERT_NE(to, std::string::npos);
    const std::string kept = cxf.substr(from, to - from);
    for (const char* part : { "<v:Palette id=\"p&quot;1\" n=\"50%\" ", "xmlns:v=\"urn:vendor\"",
             "<v:Entry>a &amp; \"b\"\nline</v:Entry>",
             "<w:Note xmlns:u=\"urn:u\" u:at=\"1\" xmlns:w=\"urn:w\"", "\"%&amp;&lt;</w:Note>" })
        EXPECT_TRUE(Has(kept, part)) << part << " in\n" << kept.substr(0, 400);
    EXPECT_TRUE(Has(kept, big.substr(0, 5000)));
    // Only declarations travel with the elements, not other attributes around them.
    EXPECT_FALSE(Has(kept, "Owner") || Has(kept, "xmlnsx"));
    // Read again, the same lines.
    TCgats again = Parsed(cxf);
    EXPECT_EQ(Keyword(again, "CXF_CUSTOM_RESOURCES"), Keyword(read, "CXF_CUSTOM_RESOURCES"));
    const std::string path = testing::TempDir() + "cxf_custom_test.cxf";
    ASSERT_EQ(cgats.SaveAs(path.c_str(), Convention::Cxf), 0);
    EXPECT_TRUE(SchemaValid(path));
    std::remove(path.c_str());
    // Edited into something else, it is not written.
    for (const char* line : { "<v:a>", "text", "<v:a/>%3Cb" }) {
        const TCgats edited = Parsed("CGATS.17\nCXF_CUSTOM_RESOURCES \"" + std::string(line) + "\"\n"
            + Table("SAMPLE_ID LAB_L LAB_A LAB_B", { "a 50 1 2" }));
        int code = 0;
        EXPECT_TRUE(Written(edited, Convention::Cxf, &code).empty() && code == TCgats::kErrConvention)
            << line;
    }
    // An escape at the very end is decoded like any other (here a line end after the element).
    const std::string decoded = Written(Parsed("CGATS.17\nCXF_CUSTOM_RESOURCES \"<v:a/>%0A\"\n"
                                            + Table("SAMPLE_ID LAB_L LAB_A LAB_B", { "a 50 1 2" })),
        Convention::Cxf);
    EXPECT_TRUE(Has(decoded, "<v:a/>\n</cc:CustomResources>")) << decoded;
}

// ArgyllCMS's cxf2ti3 (a peer that reads CxF3 spectra; it ignores device values) reads the spectra of
// a written document as they were: it prints six significant digits of percent, as these values have.
TEST(CxfWrite, ArgyllReadsTheWrittenSpectra)
{
    if (std::system("command -v cxf2ti3 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ArgyllCMS cxf2ti3 is not installed";
    std::string nm, rows[3];
    for (int w = 380; w <= 730; w += 10) {
        nm += " SPECTRAL_NM" + std::to_string(w);
        for (int s = 0; s < 3; ++s)
            rows[s] += " 0." + std::to_string(100000 + 2347 * s + 19 * w).substr(1);
    }
    TCgats original = Parsed("CGATS.17\nKEYWORD \"SampleID\"\n"
        + Table("SampleID CMYK_C CMYK_M CMYK_Y CMYK_K" + nm,
            { "paper 0 0 0 0" + rows[0], "C50 50 0 0 0" + rows[1], "K100 0 0 0 100" + rows[2] }));
    const std::string base = testing::TempDir() + "cxf_argyll_peer";
    ASSERT_EQ(original.SaveAs((base + ".cxf").c_str(), Convention::Cxf), 0);
    ASSERT_EQ(std::system(("cxf2ti3 '" + base + ".cxf' '" + base + "' >/dev/null 2>&1").c_str()), 0);
    TCgats peer((base + ".ti3").c_str());
    ASSERT_EQ(peer.GetErrorCode(), 0) << peer.GetErrorMsg();
    ExpectSameSpectra(peer, original, 0, 1e-12);
    std::remove((base + ".cxf").c_str());
    std::remove((base + ".ti3").c_str());
}

} // namespace
