// Spectra: the Spectrum class (uniform and non-uniform data, the file encodings, densities,
// distance and resampling) and densities of many spectra at once.
#include "pycommon.h"

#include <tintvale/tmeasgeom.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>

#include <algorithm>
#include <limits>
#include <optional>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tvpy {

namespace {

constexpr int kN = TSpectrum::kNrUniform;

const char* SpectrumErrorText(int code)
{
    switch (code) {
    case 1:
        return "memory or an interpolator could not be obtained";
    case 2:
        return "a required argument is missing or the point count is outside 1..1024";
    case 3:
        return "malformed spectrum data, or a spectrum no record can hold";
    case 4:
        return "a wavelength or value is not finite";
    case 5:
        return "the reference spectrum has another layout";
    default:
        return "spectrum error";
    }
}

void Check(const TSpectrum& s)
{
    if (s.ErrNo() != 0)
        throw LibraryError { s.ErrNo(), SpectrumErrorText(s.ErrNo()) };
}

std::uint16_t Word(const char* data, std::size_t index)
{
    std::uint16_t w;
    std::memcpy(&w, data + 2 * index, 2);
    return w;
}

// Byte length of the long record at data, from its header alone; 0 when the header is incomplete
// or its flag is neither 0 nor 1 (the decoder then stops after the flag).
std::size_t LongRecordSize(const char* data, std::size_t available)
{
    if (available < 2)
        return 0;
    const std::uint16_t flag = Word(data, 0);
    if (flag == 0)
        return 76;
    if (flag != 1)
        return 2;
    if (available < 4)
        return 0;
    return 4 * static_cast<std::size_t>(Word(data, 1)) + 6;
}

// Byte length of a short record laid out like reference: what reference encodes to against itself.
std::size_t ShortRecordSize(const TSpectrum& reference)
{
    TSpectrum copy(reference);
    int size = 0;
    if (copy.ToShrtFileData(&copy, &size) == nullptr)
        throw LibraryError { copy.ErrNo(), SpectrumErrorText(copy.ErrNo()) };
    return static_cast<std::size_t>(size);
}

std::string_view BytesAt(const py::bytes& data, py::ssize_t offset)
{
    std::string_view view(data);
    if (offset < 0 || static_cast<std::size_t>(offset) > view.size())
        throw py::index_error("offset outside the data");
    return view.substr(static_cast<std::size_t>(offset));
}

// Decodes one long record at offset; returns the spectrum and the offset just past it.
std::pair<TSpectrum, py::ssize_t> ReadLong(const py::bytes& data, py::ssize_t offset)
{
    std::string_view view = BytesAt(data, offset);
    const std::size_t size = LongRecordSize(view.data(), view.size());
    if (size == 0 || size > view.size())
        throw py::value_error("truncated spectrum record");
    // The decoder wants writable, aligned storage of its own.
    std::vector<std::uint16_t> words((size + 1) / 2);
    std::memcpy(words.data(), view.data(), size);
    TSpectrum s(static_cast<void*>(words.data()), nullptr);
    Check(s);
    return { s, offset + static_cast<py::ssize_t>(size) };
}

std::pair<TSpectrum, py::ssize_t> ReadShort(
    const py::bytes& data, const TSpectrum& reference, py::ssize_t offset)
{
    std::string_view view = BytesAt(data, offset);
    const std::size_t size = ShortRecordSize(reference);
    if (size > view.size())
        throw py::value_error("truncated short spectrum record");
    std::vector<std::uint16_t> words((size + 1) / 2);
    std::memcpy(words.data(), view.data(), size);
    TSpectrum s(&reference, static_cast<void*>(words.data()), nullptr);
    Check(s);
    return { s, offset + static_cast<py::ssize_t>(size) };
}

py::array_t<double> Samples(const TSpectrum& s)
{
    py::array_t<double> out(kN);
    std::memcpy(out.mutable_data(), s.GetUniformSpectrum(nullptr, nullptr, nullptr), kN * sizeof(double));
    return out;
}

int SampleIndex(py::ssize_t i)
{
    if (i < 0)
        i += kN;
    if (i < 0 || i >= kN)
        throw py::index_error("sample index outside 0..35");
    return static_cast<int>(i);
}

py::bytes Encoded(const char* data, int size, const TSpectrum& s)
{
    if (data == nullptr)
        throw LibraryError { s.ErrNo(), SpectrumErrorText(s.ErrNo()) };
    return py::bytes(data, static_cast<std::size_t>(size));
}

int PointCount(const TSpectrum& s) { return s.GetNrPoints(); }

// Densities of every row; relative to reference (one spectrum, or one per row) when given, as a
// reflection measurement would give them against its paper: this minus the reference, clamped at 0.
std::tuple<py::array_t<double>, py::array_t<int>> Densities(
    const py::handle& spectra, const py::handle& standard, const py::handle& reference)
{
    const TCMS::FilterStandard filter = StandardOf(standard);
    Rows rows = RowsOf(spectra, kN, "spectra");
    std::optional<Rows> refs;
    if (!reference.is_none()) {
        refs = RowsOf(reference, kN, "reference");
        if (!refs->lead.empty() && refs->lead != rows.lead)
            throw py::value_error("reference must be 36 samples or one row of 36 per spectrum");
    }
    py::array_t<double> densities = NewRows<double>(rows.lead, 4);
    py::array_t<int> dominant = NewRows<int>(rows.lead, 0);
    double* d = densities.mutable_data();
    int* k = dominant.mutable_data();
    {
        py::gil_scoped_release release;
        const TMeasGeom geom;
        std::optional<TReflectionSpectrum> single;
        if (refs && refs->lead.empty())
            single.emplace(refs->data, &geom);
        for (py::ssize_t i = 0; i < rows.count; ++i) {
            // A density the library leaves unwritten (a black or unset spectrum) is NaN.
            std::fill(d + 4 * i, d + 4 * i + 4, std::numeric_limits<double>::quiet_NaN());
            k[i] = 3;
            if (!refs) {
                const TSpectrum s(rows.data + i * kN);
                s.GetDensity(filter, d + 4 * i, k + i);
                continue;
            }
            const TReflectionSpectrum sample(rows.data + i * kN, &geom);
            std::optional<TReflectionSpectrum> own;
            if (!single)
                own.emplace(refs->data + i * kN, &geom);
            const TReflectionSpectrum& paper = single ? *single : *own;
            sample.GetDensity(filter, &paper, nullptr, nullptr, d + 4 * i, k + i);
        }
    }
    return { densities, dominant };
}

} // namespace

void BindSpectrum(py::module_& m)
{
    py::array_t<double> wavelengths(kN);
    for (int i = 0; i < kN; ++i)
        wavelengths.mutable_data()[i] = TSpectrum::kFirstWavelength + TSpectrum::kUniformStep * i;
    wavelengths.attr("flags").attr("writeable") = false;
    m.attr("WAVELENGTHS") = wavelengths;

    py::list standards;
    for (const char** name = TSpectrum::GetDensityList(); *name != nullptr; ++name)
        standards.append(*name);
    m.attr("DENSITY_STANDARDS") = py::tuple(standards);

    py::class_<TSpectrum>(m, "Spectrum",
        "A spectral curve on the 36-sample grid 380, 390, ..., 730 nm (WAVELENGTHS). Made from 36 "
        "samples, or from (wavelength, value) points that are resampled onto the grid linearly, flat "
        "beyond the outermost points. Unset samples hold -1.0.")
        .def(py::init<>(), "An empty spectrum: every sample -1.0 (not set).")
        .def(py::init([](const py::handle& samples) {
            Rows rows = RowsOf(samples, kN, "samples");
            if (!rows.lead.empty())
                throw py::value_error("samples must be 36 numbers");
            return TSpectrum(rows.data);
        }),
            py::arg("samples"), "A uniform spectrum from its 36 samples at 380 ... 730 nm.")
        .def(py::init([](const py::handle& wl, const py::handle& values) {
            DoubleArray w = DoubleArray::ensure(wl);
            DoubleArray v = DoubleArray::ensure(values);
            if (!w || !v || w.ndim() != 1 || v.ndim() != 1 || w.size() != v.size())
                throw py::value_error("wavelengths and values must be two 1-D arrays of equal length");
            if (w.size() > TSpectrum::kMaxPoints)
                throw py::value_error("at most 1024 points");
            TSpectrum s(w.data(), static_cast<int>(w.size()), v.data());
            Check(s);
            return s;
        }),
            py::arg("wavelengths"), py::arg("values"),
            "A non-uniform spectrum from 1 to 1024 points (wavelengths in nm, any order).")
        .def_static(
            "from_text",
            [](const std::string& text) {
                std::vector<char> buffer(text.begin(), text.end());
                buffer.push_back('\0');
                TSpectrum s(buffer.data());
                Check(s);
                return s;
            },
            py::arg("text"),
            "Parses the text form: the point count N, N wavelengths, N values, with anything that "
            "cannot start a number as separator.")
        .def_static(
            "from_file_data",
            [](const py::bytes& data, py::ssize_t offset) { return ReadLong(data, offset).first; },
            py::arg("data"), py::arg("offset") = 0, "Decodes the long record at offset.")
        .def_static("read_file_data", &ReadLong, py::arg("data"), py::arg("offset") = 0,
            "Decodes the long record at offset; returns (spectrum, offset just past the record).")
        .def_static(
            "from_short_file_data",
            [](const py::bytes& data, const TSpectrum& reference, py::ssize_t offset) {
                return ReadShort(data, reference, offset).first;
            },
            py::arg("data"), py::arg("reference"), py::arg("offset") = 0,
            "Decodes the short record at offset, laid out like reference.")
        .def_static("read_short_file_data", &ReadShort, py::arg("data"), py::arg("reference"),
            py::arg("offset") = 0,
            "Decodes the short record at offset; returns (spectrum, offset just past the record).")
        .def(
            "to_file_data",
            [](const TSpectrum& s) {
                int size = 0;
                const char* data = s.ToFileData(&size);
                return Encoded(data, size, s);
            },
            "The long record: 76 bytes when uniform, 4 N + 6 bytes with N points.")
        .def(
            "to_short_file_data",
            [](const TSpectrum& s, TSpectrum& reference) {
                int size = 0;
                const char* data = s.ToShrtFileData(&reference, &size);
                return Encoded(data, size, s);
            },
            py::arg("reference"), "The short record (values only) relative to a spectrum of the same layout.")
        .def_property_readonly("samples", &Samples, "The 36 samples at WAVELENGTHS, as a new array.")
        .def_property_readonly(
            "is_uniform", [](const TSpectrum& s) { return PointCount(s) == 0; },
            "False when the spectrum carries the non-uniform points it was made from.")
        .def_property_readonly(
            "point_count", &PointCount, "The number of non-uniform points (0 when uniform).")
        .def(
            "__array__",
            [](const TSpectrum& s, const py::object& dtype, const py::object&) {
                py::array out = Samples(s);
                return dtype.is_none() ? out : py::array(out.attr("astype")(dtype));
            },
            py::arg("dtype") = py::none(), py::arg("copy") = py::none())
        .def("__len__", [](const TSpectrum&) { return kN; })
        .def(
            "__getitem__", [](TSpectrum& s, py::ssize_t i) { return s.Data(SampleIndex(i)); },
            py::arg("index"))
        .def("__setitem__", [](TSpectrum& s, py::ssize_t i, double v) { s.Data(SampleIndex(i)) = v; })
        .def(
            "__mul__",
            [](const TSpectrum& a, const TSpectrum& b) {
                TSpectrum s(&a, &b);
                Check(s);
                return s;
            },
            py::arg("other"), "The sample-wise product (uniform); fails when either first sample is unset.")
        .def(
            "inner_product",
            [](const TSpectrum& a, const TSpectrum& b) {
                double result = 0.0;
                a.InProduct(&b, &result);
                return result;
            },
            py::arg("other"), "The sum of the sample-wise products over the grid.")
        .def(
            "distance", [](TSpectrum& a, TSpectrum& b) { return a.CalcDistance(&b); }, py::arg("other"),
            "The Euclidean distance between the two sample sets.")
        .def(
            "resample",
            [](const TSpectrum& s, double first, double last, int count) {
                if (count < 0)
                    throw py::value_error("count must not be negative");
                py::array_t<double> out(count);
                const int rc = s.GetNonUniformSpectrum(first, last, count, out.mutable_data());
                if (rc != 0)
                    throw LibraryError { rc, SpectrumErrorText(rc) };
                return out;
            },
            py::arg("first"), py::arg("last"), py::arg("count"),
            "The spectrum at count evenly spaced wavelengths from first to last nm (linear, flat beyond "
            "380 and 730 nm).")
        .def(
            "density",
            [](const TSpectrum& s, const py::handle& standard) {
                py::array_t<double> d(4);
                std::fill(d.mutable_data(), d.mutable_data() + 4, std::numeric_limits<double>::quiet_NaN());
                int dominant = 3;
                s.GetDensity(StandardOf(standard), d.mutable_data(), &dominant);
                return py::make_tuple(d, dominant);
            },
            py::arg("standard"),
            "Status densities under a standard (index or name from DENSITY_STANDARDS): (array of cyan, "
            "magenta, yellow, visual, NaN where undefined (a black or unset spectrum); dominant index "
            "0..2, or 3 for neutral).")
        .def("copy", [](const TSpectrum& s) { return TSpectrum(s); })
        .def("__copy__", [](const TSpectrum& s) { return TSpectrum(s); })
        .def("__deepcopy__", [](const TSpectrum& s, const py::dict&) { return TSpectrum(s); })
        .def("__repr__", [](const TSpectrum& s) {
            const int n = PointCount(s);
            return n == 0 ? std::string("<tintvale.Spectrum uniform>")
                          : "<tintvale.Spectrum with " + std::to_string(n) + " points>";
        });

    m.def(
        "to_grid",
        [](const py::handle& wavelengths, const py::handle& values) {
            DoubleArray wl = DoubleArray::ensure(wavelengths);
            if (!wl || wl.ndim() != 1 || wl.size() < 1 || wl.size() > TSpectrum::kMaxPoints)
                throw py::value_error("wavelengths must be 1 to 1024 numbers");
            const int n = static_cast<int>(wl.size());
            Rows rows = RowsOf(values, n, "values");
            py::array_t<double> out = NewRows<double>(rows.lead, kN);
            double* grid = out.mutable_data();
            int failed = 0;
            {
                py::gil_scoped_release release;
                for (py::ssize_t i = 0; i < rows.count && failed == 0; ++i) {
                    const TSpectrum s(wl.data(), n, rows.data + i * n);
                    failed = s.ErrNo();
                    std::memcpy(
                        grid + i * kN, s.GetUniformSpectrum(nullptr, nullptr, nullptr), kN * sizeof(double));
                }
            }
            if (failed != 0)
                throw LibraryError { failed, SpectrumErrorText(failed) };
            return out;
        },
        py::arg("wavelengths"), py::arg("values"),
        "Resamples spectra given at wavelengths (W) with values (..., W) onto WAVELENGTHS: (..., 36), "
        "linear, flat beyond the outermost wavelengths.");
    m.def("densities", &Densities, py::arg("spectra"), py::arg("standard"), py::arg("reference") = py::none(),
        "Status densities of spectra (..., 36) under a standard (index or name from DENSITY_STANDARDS): "
        "(densities (..., 4) as cyan, magenta, yellow, visual, NaN where undefined; dominant index (...), "
        "3 for neutral). With a reference (paper) spectrum (36, or one per row) the densities are "
        "relative to it, clamped at 0.");
}

} // namespace tvpy
