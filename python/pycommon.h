// Shared pieces of the Python module: the exception that carries a library status, the capture of
// what the library sends to its message sinks, and the checks and shapes of NumPy arguments.
#ifndef TINTVALE_PYTHON_PYCOMMON_H
#define TINTVALE_PYTHON_PYCOMMON_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <tintvale/tobserver.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <tintvale/tcms.h>

namespace py = pybind11;

namespace tintvale::qc {
struct CommonOptions;
struct Comparison;
} // namespace tintvale::qc
namespace qc = tintvale::qc;

namespace tvpy {

// A failure status of the library. Raised in Python as tintvale.TintvaleError with the attributes
// code (the library's status number) and message.
struct LibraryError {
    int code;
    std::string message;
};

// The library's code for a text that a written CGATS file could not give back, and its reason.
constexpr int kUnwritableCode = 29;
constexpr const char* kUnwritableReason = "holds a line end, NUL or double quote";

// Levels of Python's logging module.
constexpr int kLogDebug = 10;
constexpr int kLogWarning = 30;

// Collects what the library sends to its message and warning sinks on this thread while the scope
// lives; the module's sinks write into the innermost scope. Done() (GIL held) hands the messages
// to the "tintvale" logger of Python's logging module and the warnings to its warnings module; a
// scope left by an exception drops them (Fail puts the messages in the exception). Messages
// raised outside any scope are logged at once, at warning level.
class SinkScope {
public:
    SinkScope();
    ~SinkScope();
    SinkScope(const SinkScope&) = delete;
    SinkScope& operator=(const SinkScope&) = delete;

    // The messages so far, joined by "; ", and forgets them.
    std::string TakeMessages();
    // Raises LibraryError with code and what, followed by any captured message.
    [[noreturn]] void Fail(int code, const std::string& what);
    // Logs the captured messages at messageLevel and emits the warnings as Python warnings.
    void Done(int messageLevel = kLogWarning);

    std::vector<std::string> messages;
    std::vector<std::string> warnings;

private:
    SinkScope* mOuter;
};

// The extension module's import name (set once at its initialisation) and the file it was loaded from.
void SetExtensionName(const std::string& name);
std::string ExtensionFile();

// Raises FileNotFoundError for path (errno ENOENT, filename path), as open() would.
[[noreturn]] void RaiseFileNotFound(const std::string& path);

// Installs the module's sinks and registers TintvaleError; called once from the module init.
void InitErrors(py::module_& m);

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// An array whose last axis has a fixed width (3 for colours, 36 for spectra), seen as rows.
struct Rows {
    DoubleArray array;
    const double* data;
    py::ssize_t count;
    std::vector<py::ssize_t> lead; // the shape without the last axis (empty for one row)
};

// Converts obj to C-contiguous doubles and checks that its last axis has width entries; what names
// the argument in the ValueError.
Rows RowsOf(const py::handle& obj, py::ssize_t width, const char* what);
// Brings row sets to one shape by NumPy broadcasting (a single row against many, say).
void Broadcast(Rows& a, Rows& b, py::ssize_t width, const char* whatA, const char* whatB);
void Broadcast(Rows& a, Rows& b, Rows& c, py::ssize_t width);
// A new array of shape lead + (width,), or lead alone when width is 0.
template <typename T> py::array_t<T> NewRows(const std::vector<py::ssize_t>& lead, py::ssize_t width)
{
    std::vector<py::ssize_t> shape(lead);
    if (width > 0)
        shape.push_back(width);
    return py::array_t<T>(shape);
}
// Applies convert(in, out) to every triple of values, with the GIL released.
template <typename Convert>
py::array_t<double> MapTriples(const py::handle& values, const char* what, Convert convert)
{
    Rows rows = RowsOf(values, 3, what);
    py::array_t<double> result = NewRows<double>(rows.lead, 3);
    double* out = result.mutable_data();
    {
        py::gil_scoped_release release;
        for (py::ssize_t i = 0; i < rows.count; ++i)
            convert(rows.data + 3 * i, out + 3 * i);
    }
    return result;
}

// Applies difference(a, b) to every pair of triples, broadcast against each other, GIL released.
inline bool AllFinite(const double* v)
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// The difference of each pair of triples, broadcast; NaN where either triple is not finite, so
// that a missing value never passes for a match.
template <typename Difference>
py::array_t<double> MapPairs(const py::handle& first, const py::handle& second, const char* whatA,
    const char* whatB, Difference difference)
{
    Rows a = RowsOf(first, 3, whatA);
    Rows b = RowsOf(second, 3, whatB);
    Broadcast(a, b, 3, whatA, whatB);
    py::array_t<double> result = NewRows<double>(a.lead, 0);
    double* out = result.mutable_data();
    {
        py::gil_scoped_release release;
        for (py::ssize_t i = 0; i < a.count; ++i)
            out[i] = AllFinite(a.data + 3 * i) && AllFinite(b.data + 3 * i)
                ? difference(a.data + 3 * i, b.data + 3 * i)
                : std::numeric_limits<double>::quiet_NaN();
    }
    return result;
}

// Exactly three doubles (a white point, say).
void TripleOf(const py::handle& obj, const char* what, double* out);

// The index an integer argument gives, when obj is an integer: in [0, count), else a ValueError
// saying outOfRange. Empty when obj is no integer, so that the caller can try a name.
std::optional<int> IndexOf(const py::handle& obj, int count, const std::string& outOfRange);

// An observer given as its index (0, 1) or its name ("2 degree", "10 degree").
TObserver ObserverOf(const py::handle& obj);
// A CIELAB difference formula given as its index (0..5), its name or an alias, letter case ignored;
// an unknown name is a ValueError listing the names.
int FormulaOf(const py::handle& obj);
// The name of the formula taken when none is given.
const char* DefaultFormula();
// A density standard given by its display name or its index.
TCMS::FilterStandard StandardOf(const py::handle& obj);

// The command-line tool's settings for its compare and report called from Python: the package's
// shipped illuminants unless illuminants names a directory.
qc::CommonOptions ToolSettings(const py::handle& illuminant, const py::handle& observer,
    const py::handle& illuminants, const py::handle& adapt, bool strictConditions);

// compare's summary of c as a dict, values as its JSON gives them.
py::dict SummaryDict(const qc::Comparison& c);
// The conditions the files of c state differently: each a UserWarning once sinks are done, and
// the list a result carries.
py::list RaiseConditionWarnings(SinkScope& sinks, const qc::Comparison& c);

void BindSpectrum(py::module_& m);
void BindIlluminants(py::module_& m);
void BindLab(py::module_& m);
void BindGeometry(py::module_& m);
void BindColorSpaces(py::module_& m);
void BindMeasurements(py::module_& m);
void BindCgats(py::module_& m);
void BindCgatsBuild(py::module_& m);
void BindReport(py::module_& m);
void BindPrint(py::module_& m);
void BindAdaptation(py::module_& m);
void BindCompare(py::module_& m);
void BindPickling(py::module_& m);
void BindAppearance(py::module_& m);
void BindLamp(py::module_& m);

} // namespace tvpy

#endif
