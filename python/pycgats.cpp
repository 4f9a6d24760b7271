// CGATS.17 measurement data files: reading from a file or text, writing, cell access by index
// and field name, and custom header lines.
#include "pycommon.h"

#include <tintvale/tcgats.h>

#include <cstring>
#include <memory>
#include <string>

namespace tvpy {

namespace {

using Cgats = std::unique_ptr<TCgats>;

// The longest cell text fetched: data values are read whole, whatever their length.
constexpr std::size_t kMaxCellText = std::size_t(1) << 24;

void CheckRead(const TCgats& c, bool strict)
{
    if (strict && c.GetErrorCode() != 0)
        throw LibraryError { c.GetErrorCode(), c.GetErrorMsg() };
}

Cgats ReadFile(const py::handle& file, bool strict)
{
    const std::string path = py::module_::import("os").attr("fspath")(file).cast<std::string>();
    Cgats c;
    {
        SinkScope sinks;
        {
            py::gil_scoped_release release;
            c = std::make_unique<TCgats>(path.c_str());
        }
        if (strict && c->GetErrorCode() != 0)
            sinks.Fail(c->GetErrorCode(), std::string(c->GetErrorMsg()) + " " + path);
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
            c = std::make_unique<TCgats>(text.c_str(), 0);
        }
        CheckRead(*c, strict);
        sinks.Done();
    }
    return c;
}

std::string CellText(const TCgats& c, int table, int sample, int field)
{
    // An object in error answers no query.
    CheckRead(c, true);
    // The sized form fails for a text that does not fit as it does for a bad index: grow until the
    // text fits or the length is beyond any cell.
    for (std::size_t size = 256;; size *= 16) {
        std::string buffer(size, '\0');
        if (c.GetField(table, sample, field, buffer.data(), buffer.size()) == 0)
            return std::string(buffer.c_str());
        if (size >= kMaxCellText)
            break;
    }
    throw py::index_error("no cell at table " + std::to_string(table) + ", sample " + std::to_string(sample)
        + ", field " + std::to_string(field));
}

std::string ToText(const TCgats& c)
{
    char* raw = nullptr;
    int code = 0;
    {
        py::gil_scoped_release release;
        code = c.WriteToBuffer(&raw);
    }
    std::unique_ptr<char[]> text(raw);
    if (code != 0)
        throw LibraryError { code,
            c.GetErrorCode() == code ? c.GetErrorMsg() : "the file could not be written" };
    return text ? std::string(text.get()) : std::string();
}

} // namespace

void BindCgats(py::module_& m)
{
    py::class_<TCgats>(m, "Cgats",
        "A CGATS.17 measurement data file in memory: header lines, free-form blocks and data tables.")
        .def(py::init(&ReadFile), py::arg("file"), py::arg("strict") = true,
            "Reads a file. A file that does not read cleanly raises TintvaleError with the reader's code "
            "and message; with strict=False the object keeps what was read and error_code tells why.")
        .def_static("from_text", &ReadText, py::arg("text"), py::arg("strict") = true,
            "Reads CGATS text, as the constructor reads a file.")
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
            "add_custom_tag",
            [](TCgats& c, const std::string& name, const std::string& value) {
                const int code = c.AddCustomTag(name.c_str(), value.c_str());
                if (code != 0)
                    throw LibraryError { code, "no room for another header line" };
            },
            py::arg("name"), py::arg("value"), "Adds a quoted header line ahead of the data sections.")
        .def(
            "save",
            [](const TCgats& c, const py::handle& file) {
                const std::string path = py::module_::import("os").attr("fspath")(file).cast<std::string>();
                SinkScope sinks;
                int code = 0;
                {
                    py::gil_scoped_release release;
                    code = c.SaveAs(path.c_str());
                }
                if (code != 0) {
                    // An object in error reports its own code; 4 and the writing codes are not stored.
                    const std::string message
                        = code == c.GetErrorCode() ? c.GetErrorMsg() : "could not write";
                    sinks.Fail(code, message + " " + path);
                }
                sinks.Done();
            },
            py::arg("file"),
            "Writes the file; an existing file is replaced only when everything was written.")
        .def("to_text", &ToText, "The file as text.");
}

} // namespace tvpy
