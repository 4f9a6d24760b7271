// CGATS.17 measurement data files: reading from a file or text, writing, cell access by index
// and field name, and custom header lines.
#include "pycommon.h"

#include <pybind11/stl.h>

#include <tintvale/tcgats.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tvpy {

namespace {

using Cgats = std::unique_ptr<TCgats>;

// Beyond any cell text: data values are read whole, whatever their length.
constexpr std::size_t kMaxCellText = std::size_t(1) << 30;

// " (line N)" for a reading error placed in the text, else nothing.
std::string LineOf(const TCgats& c)
{
    return c.GetErrorLine() > 0 ? " (line " + std::to_string(c.GetErrorLine()) + ")" : std::string();
}

void CheckRead(const TCgats& c, bool strict)
{
    if (strict && c.GetErrorCode() != 0)
        throw LibraryError { c.GetErrorCode(), c.GetErrorMsg() + LineOf(c) };
}

// Strict reading refuses a text in a number field; lenient reading keeps it as NaN.
TCgats::TextInNumberField CellsOf(bool strict)
{
    return strict ? TCgats::TextInNumberField::Refuse : TCgats::TextInNumberField::NaN;
}

// The samples read leniently with a NaN are missing: said once, as a warning naming the cells.
void WarnUnreadCells(const TCgats& c, SinkScope& sinks, const std::string& where)
{
    const std::vector<std::string>& cells = c.GetUnreadCells();
    if (cells.empty())
        return;
    std::string text = where + ": " + std::to_string(cells.size())
        + " cell(s) of number fields are not numbers and read as NaN (their samples are missing): ";
    constexpr std::size_t kShown = 5;
    for (std::size_t i = 0; i < cells.size() && i < kShown; ++i)
        text += (i ? "; " : "") + cells[i];
    if (cells.size() > kShown)
        text += "; ...";
    sinks.warnings.push_back(text);
}

// What reading found doubtful but read (a field count that disagrees with the names, spectra in a
// probable wrong scale), each a warning naming the file and line.
void WarnReadDoubts(const TCgats& c, SinkScope& sinks, const std::string& where)
{
    for (const std::string& w : c.GetReadWarnings())
        sinks.warnings.push_back(where + (w.compare(0, 5, "line ") == 0 ? ":" + w.substr(5) : ": " + w));
}

Cgats ReadFile(const py::handle& file, bool strict)
{
    const std::string path = py::module_::import("os").attr("fspath")(file).cast<std::string>();
    Cgats c;
    {
        SinkScope sinks;
        {
            py::gil_scoped_release release;
            c = std::make_unique<TCgats>(path.c_str(), CellsOf(strict));
        }
        WarnUnreadCells(*c, sinks, path);
        WarnReadDoubts(*c, sinks, path);
        if (strict && c->GetErrorCode() == TCgats::kErrFileNotFound)
            RaiseFileNotFound(path);
        if (strict && c->GetErrorCode() != 0)
            sinks.Fail(c->GetErrorCode(), std::string(c->GetErrorMsg()) + " " + path + LineOf(*c));
        sinks.Done();
    }
    return c;
}

Cgats ReadText(const std::string& text, bool strict)
{
    if (text.find('\0') != std::string::npos)
        throw py::value_error("CGATS text must not contain a NUL character");
    Cgats c;
    {
        SinkScope sinks;
        {
            py::gil_scoped_release release;
            c = std::make_unique<TCgats>(text.c_str(), 0, CellsOf(strict));
        }
        CheckRead(*c, strict);
        WarnUnreadCells(*c, sinks, "CGATS text");
        WarnReadDoubts(*c, sinks, "CGATS text");
        sinks.Done();
    }
    return c;
}

std::string CellText(const TCgats& c, int table, int sample, int field)
{
    CheckRead(c, true);
    if (table < 0 || table >= c.GetNrTables() || sample < 0 || sample >= c.GetNrSamples(table) || field < 0
        || field >= c.GetNrFields(table)) {
        throw py::index_error("no cell at table " + std::to_string(table) + ", sample "
            + std::to_string(sample) + ", field " + std::to_string(field));
    }
    // With the indexes valid, a failure of the sized form means the text did not fit.
    for (std::size_t size = 256;; size *= 16) {
        std::string buffer(size, '\0');
        if (c.GetField(table, sample, field, buffer.data(), buffer.size()) == 0)
            return std::string(buffer.c_str());
        if (size > kMaxCellText)
            throw LibraryError { -1, "the cell cannot be read" };
    }
}

// The writing convention named in Python: None (as held), "cgats", "argyll" or "cxf".
TCgats::Convention ConventionOf(const std::optional<std::string>& name)
{
    if (!name)
        return TCgats::Convention::AsHeld;
    if (*name == "cgats")
        return TCgats::Convention::Cgats;
    if (*name == "argyll")
        return TCgats::Convention::Argyll;
    if (*name == "cxf")
        return TCgats::Convention::Cxf;
    throw py::value_error("unknown convention '" + *name + "' (known: 'cgats', 'argyll', 'cxf')");
}

std::string ToText(const TCgats& c, const std::optional<std::string>& conventionName)
{
    const TCgats::Convention convention = ConventionOf(conventionName);
    char* raw = nullptr;
    int code = 0;
    {
        py::gil_scoped_release release;
        code = c.WriteToBuffer(&raw, convention);
    }
    std::unique_ptr<char[]> text(raw);
    if (code != 0)
        throw LibraryError { code,
            c.GetErrorCode() == code ? c.GetErrorMsg() : "the file could not be written" };
    return text ? std::string(text.get()) : std::string();
}

// The table index checked against the file: a query of a missing table is an IndexError.
void CheckTable(const TCgats& c, int t)
{
    CheckRead(c, true);
    if (t < 0 || t >= c.GetNrTables())
        throw py::index_error(
            "no table " + std::to_string(t) + " (the file has " + std::to_string(c.GetNrTables()) + ")");
}

using SampleValues = int (TCgats::*)(int, int, std::vector<double>&) const;

// One row per sample of the values a sized query gives, all rows of the same width.
py::array_t<double> Rowwise(const TCgats& c, int t, int width, SampleValues query, const char* what)
{
    CheckTable(c, t);
    const int n = c.GetNrSamples(t);
    if (n < 0 || width < 0)
        throw LibraryError { -1, std::string("table ") + std::to_string(t) + " is in error" };
    py::array_t<double> out(std::vector<py::ssize_t> { n, width });
    double* data = out.mutable_data();
    int failed = -1;
    {
        py::gil_scoped_release release;
        std::vector<double> row;
        for (int s = 0; s < n && failed < 0; ++s) {
            if ((c.*query)(t, s, row) != 0 || static_cast<int>(row.size()) != width)
                failed = s;
            else
                std::copy(row.begin(), row.end(), data + static_cast<std::size_t>(s) * width);
        }
    }
    if (failed >= 0)
        throw LibraryError { -1, std::string("table ") + std::to_string(t) + " has no " + what };
    return out;
}

using SampleText = int (TCgats::*)(int, int, std::string&) const;

py::list Texts(const TCgats& c, int t, SampleText query, const char* what)
{
    CheckTable(c, t);
    py::list names;
    std::string text;
    for (int s = 0; s < c.GetNrSamples(t); ++s) {
        if ((c.*query)(t, s, text) != 0)
            throw LibraryError { -1, std::string("table ") + std::to_string(t) + " has no " + what };
        names.append(py::str(text));
    }
    return names;
}

py::object OptionalText(const char* text)
{
    return text ? py::object(py::str(text)) : py::object(py::none());
}

// The solid of every process (or spot) colour: (colours, wavelengths or 3), NaN rows for colours
// without a solid in the table.
py::array_t<double> Solids(const TCgats& c, int t, bool spectral, bool process)
{
    CheckTable(c, t);
    std::vector<std::vector<double>> values;
    c.GetColorValues(t, values, spectral, process);
    if (values.empty())
        throw LibraryError { 1,
            std::string("table ") + std::to_string(t) + " has no " + (process ? "process" : "spot")
                + " colours with " + (spectral ? "spectra" : "Lab values") };
    const int width = spectral ? c.GetNrWaveLengths(t) : 3;
    py::array_t<double> out(std::vector<py::ssize_t> { static_cast<py::ssize_t>(values.size()), width });
    double* data = out.mutable_data();
    for (std::size_t k = 0; k < values.size(); ++k) {
        for (int i = 0; i < width; ++i)
            data[k * width + i] = values[k].size() == static_cast<std::size_t>(width)
                ? values[k][i]
                : std::numeric_limits<double>::quiet_NaN();
    }
    return out;
}

py::list Descriptions(const TCgats& c, int t, bool process)
{
    CheckTable(c, t);
    std::vector<const char*> texts;
    const int code
        = process ? c.GetCustomProcessColorDescriptions(t, texts) : c.GetSpotColorDescriptions(t, texts);
    if (code != 0)
        throw LibraryError { code,
            std::string("table ") + std::to_string(t) + " has no " + (process ? "PROCESSCOLOR_ID" : "SPOT_ID")
                + " descriptions for its colours" };
    py::list out;
    for (const char* text : texts)
        out.append(OptionalText(text));
    return out;
}

py::dict Contents(const TCgats& c, int t)
{
    CheckTable(c, t);
    py::dict d;
    d["samples"] = c.GetNrSamples(t);
    d["fields"] = c.GetNrFields(t);
    d["lab"] = c.ContainsLab(t);
    d["xyz"] = c.ContainsXyz(t);
    d["wavelengths"] = c.GetNrWaveLengths(t);
    d["sample_names"] = c.ContainsSampleNames(t);
    d["ink_book_names"] = c.ContainsInkBookNames(t);
    d["process_colors"] = c.ContainsProcessColors(t) ? c.GetNrProcessColors(t) : 0;
    d["spot_colors"] = c.ContainsSpotColors(t) ? c.GetNrSpotColors(t) : 0;
    const char* model = c.IsCMYKDefined(t) ? "CMYK"
        : c.IsCustomDefined(t)             ? "Custom"
        : c.IsNColorDefined(t)             ? "NColor"
        : c.IsSpotColorDefined(t)          ? "SpotColor"
                                           : nullptr;
    d["color_model"] = OptionalText(model);
    return d;
}

// A header value the file could not write back (a line end, a double quote or a NUL, which the C
// string would silently cut) raises instead of being stored.
void SetText(TCgats& c, int row, const std::string& value)
{
    const int code = value.find('\0') == std::string::npos ? c.SetKnownKeywordValue(row, value.c_str()) : 29;
    if (code != 0)
        throw LibraryError { code,
            "the value cannot be written back: it holds a line end, NUL or double quote" };
}

} // namespace

void BindCgats(py::module_& m)
{
    py::class_<TCgats> cgats(m, "Cgats",
        "A CGATS.17 measurement data file in memory: header lines, free-form blocks and data tables.");
    cgats
        .def(py::init(&ReadFile), py::arg("file"), py::arg("strict") = true,
            "Reads a file. A file that does not read cleanly raises TintvaleError with the reader's code "
            "and message (a cell of a number field that is not a number is refused, code 30); with "
            "strict=False the object keeps what was read and error_code tells why, and such cells read as "
            "NaN with a UserWarning naming them.")
        .def_static("from_text", &ReadText, py::arg("text"), py::arg("strict") = true,
            "Reads CGATS text, as the constructor reads a file.")
        .def_property_readonly("stated_illuminant", &TCgats::GetStatedIlluminant,
            "The illuminant the file states for its Lab and XYZ data (WEIGHTING_FUNCTION \"ILLUMINANT, "
            "...\", "
            "ILLUMINANT or MEASUREMENT_SOURCE Illumination=), '' when none: D50 is meant then.")
        .def_property_readonly("stated_observer", &TCgats::GetStatedObserver,
            "The observer the file states, as '2 degree' or '10 degree'; '' when none: 2 degree is meant "
            "then.")
        .def_property_readonly("error_code", &TCgats::GetErrorCode)
        .def_property_readonly("error_message", [](const TCgats& c) { return std::string(c.GetErrorMsg()); })
        .def("field", &CellText, py::arg("table"), py::arg("sample"), py::arg("field"),
            "The text of one cell (numbers as written by the library: %d or %3.5f).")
        .def(
            "field_index",
            [](const TCgats& c, int table, const std::string& name) -> py::object {
                const int index = c.GetFieldNameIndex(table, name.c_str());
                return index < 0 ? py::object(py::none()) : py::object(py::int_(index));
            },
            py::arg("table"), py::arg("name"), "The index of the first field named exactly name, or None.")
        .def(
            "keywords",
            [](const TCgats& c) {
                py::list list;
                for (const auto& [keyword, value] : c.GetKeywords())
                    list.append(py::make_tuple(keyword, value));
                return list;
            },
            "Every header keyword line in file order as (keyword, value) pairs: custom and unknown "
            "keywords and per-table lines such as NUMBER_OF_FIELDS included; comment lines, the "
            "identification line and BEGIN_/END_ markers left out.")
        .def(
            "keyword",
            [](const TCgats& c, const std::string& keyword) {
                return OptionalText(c.GetKeywordValue(keyword.c_str()));
            },
            py::arg("keyword"), "The value of the first line with keyword (letter case ignored), or None.")
        .def(
            "add_custom_tag",
            [](TCgats& c, const std::string& name, const std::string& value) {
                // A NUL would cut either text short.
                const int code = name.find('\0') != std::string::npos ? 1
                    : value.find('\0') != std::string::npos           ? kUnwritableCode
                                                            : c.AddCustomTag(name.c_str(), value.c_str());
                if (code == kUnwritableCode)
                    throw LibraryError { code, std::string("the value ") + kUnwritableReason };
                if (code != 0)
                    throw LibraryError { code,
                        "the keyword is empty or holds a blank, tab, line end or #, or would read back as "
                        "the structure of the file" };
            },
            py::arg("name"), py::arg("value"), "Adds a quoted header line ahead of the data sections.")
        .def(
            "save",
            [](const TCgats& c, const py::handle& file, const std::optional<std::string>& conventionName) {
                const std::string path = py::module_::import("os").attr("fspath")(file).cast<std::string>();
                const TCgats::Convention convention = ConventionOf(conventionName);
                SinkScope sinks;
                int code = 0;
                {
                    py::gil_scoped_release release;
                    code = c.SaveAs(path.c_str(), convention);
                }
                if (code != 0) {
                    // An object in error reports its own code; 4 and the writing codes are not stored.
                    const std::string message
                        = code == c.GetErrorCode() ? c.GetErrorMsg() : "could not write";
                    sinks.Fail(code, message + " " + path);
                }
                sinks.Done();
            },
            py::arg("file"), py::arg("convention") = py::none(),
            "Writes the file; an existing file is replaced only when everything was written. convention "
            "'argyll' writes what ArgyllCMS reads (CTI3 or SPECT, SAMPLE_ID, SPEC_nnn in percent), 'cgats' "
            "CGATS.17's standard names; None keeps the names as they are.")
        .def("to_text", &ToText, py::arg("convention") = py::none(), "The file as text, in the convention.")
        .def_property_readonly("table_count", &TCgats::GetNrTables)
        .def("contents", &Contents, py::arg("table") = 0,
            "What a table holds: sample and field counts, Lab, XYZ, the number of wavelengths, sample and "
            "ink book names, process and spot colour counts and the colour model.")
        .def(
            "has_field",
            [](const TCgats& c, const std::string& name, int t) {
                return c.ContainsFieldName(t, name.c_str());
            },
            py::arg("name"), py::arg("table") = 0)
        .def(
            "column",
            [](const TCgats& c, const std::string& name, int t) {
                CheckTable(c, t);
                const int field = c.GetFieldNameIndex(t, name.c_str());
                if (field < 0)
                    throw py::key_error(name);
                py::list texts;
                for (int s = 0; s < c.GetNrSamples(t); ++s)
                    texts.append(CellText(c, t, s, field));
                return texts;
            },
            py::arg("name"), py::arg("table") = 0, "The cells of a field as texts.")
        .def(
            "lab", [](const TCgats& c, int t) { return Rowwise(c, t, 3, &TCgats::GetLab, "Lab fields"); },
            py::arg("table") = 0, "L*, a*, b* of every sample, (samples, 3).")
        .def(
            "xyz", [](const TCgats& c, int t) { return Rowwise(c, t, 3, &TCgats::GetXyz, "XYZ fields"); },
            py::arg("table") = 0, "X, Y, Z of every sample, (samples, 3).")
        .def(
            "spectra",
            [](const TCgats& c, int t) {
                CheckTable(c, t);
                return Rowwise(c, t, c.GetNrWaveLengths(t), &TCgats::GetSpectrum, "spectral fields");
            },
            py::arg("table") = 0,
            "The spectrum of every sample as factors (percent tables scaled), (samples, wavelengths); "
            "see wavelengths(). Resample onto WAVELENGTHS with Spectrum(wavelengths, row).")
        .def(
            "wavelengths",
            [](const TCgats& c, int t) {
                CheckTable(c, t);
                // Exact band centres (3.33-nm bands of SPEC_nnn files), not the names' whole numbers.
                std::vector<double> nm;
                if (c.GetWaveLengths(t, nm) != 0)
                    throw LibraryError { 1, "table " + std::to_string(t) + " has no spectral fields" };
                return py::array_t<double>(static_cast<py::ssize_t>(nm.size()), nm.data());
            },
            py::arg("table") = 0, "The wavelengths in nm of the spectral fields, ascending (float64).")
        .def(
            "channels",
            [](const TCgats& c, int t) {
                CheckTable(c, t);
                const int n = c.ContainsProcessColors(t) ? c.GetNrProcessColors(t) : c.GetNrSpotColors(t);
                return Rowwise(c, t, n, &TCgats::GetCoordinates, "colour channels");
            },
            py::arg("table") = 0,
            "The process channels (tints 0 to 100) of every sample, else the spot channels.")
        .def(
            "spot_channels",
            [](const TCgats& c, int t) {
                CheckTable(c, t);
                return Rowwise(c, t, c.GetNrSpotColors(t), &TCgats::GetSpotCoordinates, "spot channels");
            },
            py::arg("table") = 0)
        .def(
            "sample_names",
            [](const TCgats& c, int t) {
                return Texts(c, t, &TCgats::GetSampleLabel, "SampleID, SAMPLE_ID or SAMPLE_NAME field");
            },
            py::arg("table") = 0, "The sample names, from a SampleID, SAMPLE_ID or SAMPLE_NAME field.")
        .def(
            "ink_book_names",
            [](const TCgats& c, int t) { return Texts(c, t, &TCgats::GetInkBookName, "InkBook field"); },
            py::arg("table") = 0)
        .def(
            "process_color_descriptions", [](const TCgats& c, int t) { return Descriptions(c, t, true); },
            py::arg("table") = 0, "The PROCESSCOLOR_ID value of each process colour.")
        .def(
            "spot_color_descriptions", [](const TCgats& c, int t) { return Descriptions(c, t, false); },
            py::arg("table") = 0, "The SPOT_ID value of each spot colour.")
        .def(
            "process_color_solids",
            [](const TCgats& c, int t, bool spectral) { return Solids(c, t, spectral, true); },
            py::arg("table") = 0, py::arg("spectral") = false,
            "Lab (or the spectrum) of the first solid of each process colour; NaN rows where none is found.")
        .def(
            "spot_color_solids",
            [](const TCgats& c, int t, bool spectral) { return Solids(c, t, spectral, false); },
            py::arg("table") = 0, py::arg("spectral") = false);
    // The text keywords of the library's keyword table that have a property name, in table order.
    for (int row = 0; row < TCgats::GetNrKnownKeywords(); ++row) {
        if (const char* property = TCgats::GetKnownKeywordProperty(row))
            cgats.def_property(
                property, [row](const TCgats& c) { return OptionalText(c.GetKnownKeywordValue(row)); },
                [row](TCgats& c, const std::string& v) { SetText(c, row, v); });
    }
    cgats
        .def_property("ink_set", &TCgats::GetInkSetNumber,
            [](TCgats& c, int v) {
                const int code = c.SetInkSet(static_cast<TCMS::InkSet>(v));
                if (code != 0)
                    throw LibraryError { code, c.GetErrorMsg() };
            })
        .def_property_readonly(
            "measurement_condition", [](const TCgats& c) { return std::string(c.GetMeasurementCondition()); })
        .def_property_readonly("is_pellor_layout", &TCgats::IsPellorLayout)
        .def_property(
            "layout", &TCgats::GetLayoutInfo,
            [](TCgats& c, const TCMS::TLayoutInfo& info) {
                const int code = c.AddLayoutInfo(info);
                if (code != 0)
                    throw LibraryError { code, c.GetErrorMsg() };
            },
            "The chart layout of the header keywords; assigning writes the specified fields as keywords.")
        .def(
            "copy_layout_from",
            [](TCgats& c, const TCgats& source) {
                if (c.CopyLayoutInfoFrom(&source) != 0)
                    throw LibraryError { 1, "no room for the layout keywords" };
            },
            py::arg("source"), "Copies the layout keywords present in source.")
        .def("__repr__", [](const TCgats& c) {
            return "<tintvale.Cgats with " + std::to_string(c.GetNrTables()) + " tables"
                + (c.GetErrorCode() != 0 ? ", error " + std::to_string(c.GetErrorCode()) : std::string())
                + ">";
        });

    py::class_<TCMS::TLayoutInfo>(m, "LayoutInfo",
        "The physical layout of a printed test chart, as carried in CGATS header keywords. Negative "
        "values (and gaps of -1.0) mean unspecified.")
        .def(py::init<>())
        .def_readwrite("row_length", &TCMS::TLayoutInfo::iRowLength)
        .def_readwrite("columns", &TCMS::TLayoutInfo::iNrOfCols)
        .def_readwrite("pages", &TCMS::TLayoutInfo::iNrOfPages)
        .def_readwrite("pellor_layout", &TCMS::TLayoutInfo::iIsPellorLayout)
        .def_readwrite("patch_height", &TCMS::TLayoutInfo::iPatchHeight)
        .def_readwrite("patch_width", &TCMS::TLayoutInfo::iPatchWidth)
        .def_readwrite("gap_y", &TCMS::TLayoutInfo::iGapSizeY)
        .def_readwrite("gap_x", &TCMS::TLayoutInfo::iGapSizeX)
        .def_readwrite("border_patches", &TCMS::TLayoutInfo::iBorderPatches)
        .def_readwrite("device", &TCMS::TLayoutInfo::iDevice)
        .def_readwrite("ink_set", &TCMS::TLayoutInfo::iInkSet)
        .def_readwrite("mirror_x", &TCMS::TLayoutInfo::iMirrorX)
        .def_readwrite("measurement_condition", &TCMS::TLayoutInfo::iMeasurementCondition)
        .def_property(
            "mark_reference_points",
            [](const TCMS::TLayoutInfo& i) { return static_cast<int>(i.iMarkReferencePoints); },
            [](TCMS::TLayoutInfo& i, int v) { i.iMarkReferencePoints = static_cast<TCMS::OptionalBool>(v); })
        .def_property(
            "add_tint_percentage",
            [](const TCMS::TLayoutInfo& i) { return static_cast<int>(i.iAddTintPercentage); },
            [](TCMS::TLayoutInfo& i, int v) { i.iAddTintPercentage = static_cast<TCMS::OptionalBool>(v); })
        .def_property(
            "gaps_between_patches",
            [](const TCMS::TLayoutInfo& i) { return static_cast<int>(i.iGapsBetweenPatches); },
            [](TCMS::TLayoutInfo& i, int v) { i.iGapsBetweenPatches = static_cast<TCMS::OptionalBool>(v); })
        .def_property(
            "add_cutting_line",
            [](const TCMS::TLayoutInfo& i) { return static_cast<int>(i.iAddCuttingLine); },
            [](TCMS::TLayoutInfo& i, int v) { i.iAddCuttingLine = static_cast<TCMS::OptionalBool>(v); })
        .def_property(
            "gap_mode", [](const TCMS::TLayoutInfo& i) { return static_cast<int>(i.iGapMode); },
            [](TCMS::TLayoutInfo& i, int v) { i.iGapMode = static_cast<TCMS::GapMode>(v); })
        .def_property(
            "color",
            [](const TCMS::TLayoutInfo& i) {
                return py::bytes(reinterpret_cast<const char*>(i.iColor.data()), i.iColor.size());
            },
            [](TCMS::TLayoutInfo& i, const py::bytes& v) {
                const std::string_view b(v);
                i.iColor.assign(b.begin(), b.end());
            },
            "Red, green, blue bytes when it holds three or more.")
        .def(
            "__eq__", [](const TCMS::TLayoutInfo& a, const TCMS::TLayoutInfo& b) { return a == b; },
            py::arg("other"))
        .def("set_measurement_condition", &TCMS::TLayoutInfo::SetMeasurementCondition, py::arg("n"),
            "\"M\" followed by n (M0, M1, ...); a negative n clears the condition.");
}

} // namespace tvpy
