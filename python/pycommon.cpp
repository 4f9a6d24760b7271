// The exception type, the sink capture and the NumPy argument helpers of the Python module.
#include "pycommon.h"

#include <string>

#include <tintvale/tspectrum.h>

#include "halden.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tvpy {

namespace {

thread_local SinkScope* tCurrent = nullptr;
HaldenMessageHandler gPreviousMessage;
HaldenWarningHandler gPreviousWarning;
PyObject* gErrorType = nullptr;

// Messages go to the "tintvale" logger of Python's logging module.
constexpr char kLoggerName[] = "tintvale";

void Log(int level, const std::string& text)
{
    py::module_::import("logging").attr("getLogger")(kLoggerName).attr("log")(level, "%s", text);
}

// A message raised outside any bound call (GIL not necessarily held).
void LogUnscoped(const char* text, const char* source, int line)
{
    if (!Py_IsInitialized()) {
        std::fprintf(stderr, "%s:%d: %s\n", source, line, text);
        return;
    }
    py::gil_scoped_acquire gil;
    try {
        Log(kLogWarning, text);
    } catch (py::error_already_set& e) {
        e.discard_as_unraisable(kLoggerName);
    }
}

std::string Join(std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty())
            text += "; ";
        text += part;
    }
    parts.clear();
    return text;
}

void RaiseLibraryError(const LibraryError& e)
{
    std::string text = e.message.empty() ? "failed" : e.message;
    text += " (code " + std::to_string(e.code) + ")";
    py::object type = py::reinterpret_borrow<py::object>(gErrorType);
    py::object instance = type(text);
    instance.attr("code") = e.code;
    instance.attr("message") = e.message;
    PyErr_SetObject(gErrorType, instance.ptr());
}

} // namespace

SinkScope::SinkScope()
    : mOuter(tCurrent)
{
    tCurrent = this;
}

SinkScope::~SinkScope() { tCurrent = mOuter; }

std::string SinkScope::TakeMessages() { return Join(messages); }

void SinkScope::Fail(int code, const std::string& what)
{
    std::string text = what;
    std::string sunk = TakeMessages();
    if (!sunk.empty())
        text += text.empty() ? sunk : ": " + sunk;
    throw LibraryError { code, text };
}

void SinkScope::Done(int messageLevel)
{
    std::vector<std::string> logged;
    std::vector<std::string> warned;
    logged.swap(messages);
    warned.swap(warnings);
    for (const std::string& message : logged)
        Log(messageLevel, message);
    for (const std::string& warning : warned) {
        if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 2) != 0)
            throw py::error_already_set();
    }
}

void InitErrors(py::module_& m)
{
    gErrorType = PyErr_NewExceptionWithDoc("tintvale.TintvaleError",
        "A failure status of the library: code is its status number, message its text.", PyExc_RuntimeError,
        nullptr);
    if (gErrorType == nullptr)
        throw py::error_already_set();
    m.attr("TintvaleError") = py::reinterpret_borrow<py::object>(gErrorType);
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const LibraryError& e) {
            RaiseLibraryError(e);
        }
    });

    // Messages raised inside a bound call belong to that call; any other is logged at once.
    gPreviousMessage = halden_set_message_handler([](const char* text, const char* file, int line) {
        if (tCurrent != nullptr)
            tCurrent->messages.emplace_back(text != nullptr ? text : "");
        else
            LogUnscoped(text != nullptr ? text : "", file != nullptr ? file : "?", line);
    });
    gPreviousWarning = halden_set_warning_handler([](int level, const char* text) {
        if (tCurrent != nullptr)
            tCurrent->warnings.emplace_back(text != nullptr ? text : "");
        else if (gPreviousWarning)
            gPreviousWarning(level, text);
    });
}

namespace {
std::string gExtensionName;
} // namespace

void SetExtensionName(const std::string& name) { gExtensionName = name; }

std::string ExtensionFile()
{
    return py::module_::import(gExtensionName.c_str()).attr("__file__").cast<std::string>();
}

void RaiseFileNotFound(const std::string& path)
{
    PyObject* error = PyObject_CallFunction(
        PyExc_FileNotFoundError, "isO", ENOENT, std::strerror(ENOENT), py::str(path).ptr());
    if (error != nullptr) {
        PyErr_SetObject(PyExc_FileNotFoundError, error);
        Py_DECREF(error);
    }
    throw py::error_already_set();
}

Rows RowsOf(const py::handle& obj, py::ssize_t width, const char* what)
{
    Rows rows { DoubleArray::ensure(obj), nullptr, 0, {} };
    if (!rows.array)
        throw py::type_error(std::string(what) + " must be an array of numbers");
    const py::ssize_t ndim = rows.array.ndim();
    // A row of no values has no meaning anywhere, and the row count divides by the width.
    if (width < 1)
        throw py::value_error(std::string(what) + " must hold at least one value per row");
    if (ndim < 1 || rows.array.shape(ndim - 1) != width) {
        throw py::value_error(
            std::string(what) + " must have " + std::to_string(width) + " values along its last axis");
    }
    rows.lead.assign(rows.array.shape(), rows.array.shape() + ndim - 1);
    rows.count = rows.array.size() / width;
    rows.data = rows.array.data();
    return rows;
}

void Broadcast(Rows& a, Rows& b, py::ssize_t width, const char* whatA, const char* whatB)
{
    if (a.lead == b.lead)
        return;
    py::tuple both;
    try {
        both = py::module_::import("numpy").attr("broadcast_arrays")(a.array, b.array);
    } catch (py::error_already_set&) {
        throw py::value_error(std::string(whatA) + " and " + whatB + " have shapes that do not broadcast");
    }
    a = RowsOf(both[0], width, whatA);
    b = RowsOf(both[1], width, whatB);
}

void Broadcast(Rows& a, Rows& b, Rows& c, py::ssize_t width)
{
    if (a.lead == b.lead && a.lead == c.lead)
        return;
    py::tuple all;
    try {
        all = py::module_::import("numpy").attr("broadcast_arrays")(a.array, b.array, c.array);
    } catch (py::error_already_set&) {
        throw py::value_error("the arguments have shapes that do not broadcast");
    }
    a = RowsOf(all[0], width, "first");
    b = RowsOf(all[1], width, "second");
    c = RowsOf(all[2], width, "third");
}

void TripleOf(const py::handle& obj, const char* what, double* out)
{
    DoubleArray array = DoubleArray::ensure(obj);
    if (!array || array.size() != 3 || array.ndim() != 1)
        throw py::value_error(std::string(what) + " must be three numbers");
    std::memcpy(out, array.data(), 3 * sizeof(double));
}

std::optional<int> IndexOf(const py::handle& obj, int count, const std::string& outOfRange)
{
    if (!PyIndex_Check(obj.ptr()))
        return std::nullopt;
    const Py_ssize_t index = PyNumber_AsSsize_t(obj.ptr(), nullptr);
    if (index < 0 || index >= count)
        throw py::value_error(outOfRange);
    return static_cast<int>(index);
}

TObserver ObserverOf(const py::handle& obj)
{
    if (py::isinstance<py::str>(obj)) {
        const std::string name = obj.cast<std::string>();
        for (int i = 0; i < TObserver::sNrObservers; ++i) {
            if (name == TObserver::sObsNameList[i])
                return TObserver(i);
        }
        throw py::value_error("unknown observer \"" + name + "\"; use \"2 degree\" or \"10 degree\"");
    }
    if (const auto index
        = IndexOf(obj, TObserver::sNrObservers, "observer index must be 0 (2 degree) or 1 (10 degree)"))
        return TObserver(*index);
    throw py::type_error("observer must be 0, 1, \"2 degree\" or \"10 degree\"");
}

TCMS::FilterStandard StandardOf(const py::handle& obj)
{
    const char** names = TSpectrum::GetDensityList();
    if (py::isinstance<py::str>(obj)) {
        const std::string name = obj.cast<std::string>();
        for (int i = 0; names[i] != nullptr; ++i) {
            if (name == names[i])
                return static_cast<TCMS::FilterStandard>(i);
        }
        throw py::value_error("unknown density standard \"" + name + "\"");
    }
    int count = 0;
    while (names[count] != nullptr)
        ++count;
    if (const auto index
        = IndexOf(obj, count, "density standard index must be 0.." + std::to_string(count - 1)))
        return static_cast<TCMS::FilterStandard>(*index);
    throw py::type_error("a density standard is its index or its name, e.g. \"ISO Status T\"");
}

} // namespace tvpy
