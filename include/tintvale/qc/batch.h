// Many sample files against one reference: files are read and compared on worker threads, each
// holding one file at a time, and reported one row per file in the order given; a file that cannot
// be compared is reported on its own row and the others are still compared.
#ifndef TINTVALE_QC_BATCH_H
#define TINTVALE_QC_BATCH_H

#include <tintvale/qc/compare.h>
#include <tintvale/qc/export.h>
#include <tintvale/qc/page.h>
#include <tintvale/qc/report.h>

#include <memory>
#include <string>
#include <vector>

namespace tintvale::qc {

struct BatchOptions {
    std::vector<std::string> samples;
    int jobs = 0; // files compared at once; 0: one per core
};

// One sample file: compare's summary of it, or the one-line error that stopped it.
struct FileResult {
    std::size_t index = 0; // in the files given
    std::string file;
    std::string error; // empty when the file was compared
    Section summary; // compare's summary of the file
    int patches = 0;
    double mean = 0.0;
    double median = 0.0;
    double p95 = 0.0;
    double max = 0.0;
    std::string maxSample;
    bool failed = false; // over the tolerance, or the tolerance set fails
    std::string page; // the page written (ReportMany), else empty
    std::vector<std::string> warnings; // conditions the two files state differently
    std::string tolerances; // the tolerance set's result as JSON (a "tolerances" object), or empty
};

struct TINTVALE_QC_API BatchResult {
    CompareOptions options;
    bool pages = false; // made by ReportMany
    std::vector<FileResult> files; // in the order given
    std::shared_ptr<Colorimetry> colorimetry; // the conditions the reference was compared under
    int Errors() const; // files that could not be compared
    bool Failed() const; // a compared file is over the tolerance or fails the tolerance set
    // "error", else "none" when nothing judges the files, else "fail" or "pass".
    const char* VerdictOf(const FileResult& file) const;
};

// Compares every file of batch.samples with options.reference. What concerns the reference or the
// tolerance set throws Error before any sample is read; a sample's own failure is its row's error.
TINTVALE_QC_API BatchResult CompareMany(
    const CommonOptions& common, const CompareOptions& options, const BatchOptions& batch);
// The same, writing one page per sample file into the directory options.output (made if missing;
// the null device discards them), named after the sample file (numbered when names repeat).
TINTVALE_QC_API BatchResult ReportMany(
    const CommonOptions& common, const ReportOptions& options, const BatchOptions& batch);
// The files table and the summary over all files as a table or CSV (section: one of "files",
// "summary"; empty: both), or as JSON, where each file's entry nests its own summary.
TINTVALE_QC_API std::string RenderBatch(
    const BatchResult& result, Format format, const std::string& section = {});

} // namespace tintvale::qc

#endif
