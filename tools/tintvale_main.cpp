// tintvale: the command-line face of the library. Subcommands read measurement data files and
// illuminant sets, and print what the library computes from them.
#include "tool_commands.h"
#include <tintvale/qc/batch.h>
#include <tintvale/qc/text.h>
#include <tintvale/qc/tolerances.h>

#include <tintvale/tchromaticadaptation.h>
#include <tintvale/tmessages.h>
#include <tintvale/tobserver.h>
#include <tintvale/tspectrum.h>
#include <tintvale/version.h>

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <iostream>

namespace {

using tool::CommonOptions;

// An observer's name, or its field of view alone ("10" for "10 degree"), as it is usually given.
CLI::Validator ObserverName(const std::vector<std::string>& names)
{
    return CLI::Validator(
        [names](std::string& text) {
            std::string known;
            for (const std::string& name : names) {
                if (text == name || text + " degree" == name) {
                    text = name;
                    return std::string();
                }
                known += (known.empty() ? "\"" : ", \"") + name + '"';
            }
            return "unknown observer \"" + text + "\" (" + known + ", or their degrees alone)";
        },
        "OBSERVER");
}

void AddCommonOptions(CLI::App& app, CommonOptions& common)
{
    const char** observers = nullptr;
    int nrObservers = 0;
    TObserver::GetKnownObservers(&observers, &nrObservers);
    std::vector<std::string> observerNames(observers, observers + nrObservers);

    app.add_option("--illuminant", common.illuminant,
        "Illuminant name (default: as the data state, else CIE Illuminant D50)");
    app.add_option("--observer", common.observer,
           "Standard observer, 2 and 10 standing for their names (default: as the data state, else 2 degree)")
        ->transform(ObserverName(observerNames));
    app.add_option(
        "--illuminants", common.illuminantDir, "Directory of illuminant files (default: the shipped set)");
    app.add_option("--integration", common.integration,
           "How spectra are integrated: auto (ASTM E308 weights for 10/20-nm data, CIE 15 summation for "
           "finer data), astm-e308, cie15, or grid (the 36-sample grid)")
        ->check(CLI::IsMember({ "auto", "astm-e308", "cie15", "grid" }))
        ->capture_default_str();
    app.add_option("--format", common.format, "Output format")
        ->check(CLI::IsMember({ "table", "csv", "json" }))
        ->capture_default_str();
    app.add_option("--section", common.section,
        "Print only this part of the report (csv prints one table: the first part unless named)");
}

std::string DensityStandardNames()
{
    std::string text;
    for (const char** name = TSpectrum::GetDensityList(); *name; ++name)
        text += (text.empty() ? "\"" : ", \"") + std::string(*name) + '"';
    return text;
}

// A tolerance: NaN would compare false with every difference and switch the check off.
const CLI::Validator kTolerance(
    [](std::string& text) {
        double value = 0.0;
        if (!CLI::detail::lexical_cast(text, value) || !std::isfinite(value) || value < 0.0)
            return std::string("must be a finite number (0 or more)");
        return std::string();
    },
    "TOLERANCE");

// CLI11's own range message spells out the whole integer range.
const CLI::Validator kJobs(
    [](std::string& text) {
        int value = 0;
        if (!CLI::detail::lexical_cast(text, value) || value < 1)
            return std::string("must be 1 or more");
        return std::string();
    },
    "N");

// Colorimetric data stated for another illuminant than asked are refused unless adapted.
void AddAdaptOption(CLI::App& cmd, CommonOptions& common)
{
    std::vector<std::string> methods;
    for (int i = 0; i < TChromaticAdaptation::GetMethodListSize(); ++i)
        methods.emplace_back(TChromaticAdaptation::GetMethodList()[i]);
    cmd.add_option("--adapt", common.adapt,
           "Adapt Lab and XYZ data stated for another illuminant to the one asked (bradford, cat02, cat16)")
        ->check(CLI::IsMember(methods, CLI::ignore_case));
}

// The viewing conditions of the appearance models.
void AddViewingOptions(CLI::App& cmd, tool::ViewingOptions& viewing)
{
    cmd.add_option("--la", viewing.adaptingLuminance, "Adapting luminance L_A in cd/m2 (appearance formulas)")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    cmd.add_option("--yb", viewing.background, "Background luminance factor Y_b (appearance formulas)")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    cmd.add_option("--surround", viewing.surround, "Surround (appearance formulas)")
        ->check(CLI::IsMember({ "average", "dim", "dark" }, CLI::ignore_case))
        ->capture_default_str();
}

// The options of compare, which report shares.
void AddCompareOptions(
    CLI::App& cmd, tool::CompareOptions& compare, tool::BatchOptions& batch, CommonOptions& common)
{
    AddAdaptOption(cmd, common);
    cmd.add_flag("--strict-conditions", common.strictConditions,
        "Files that state different measurement conditions or weighting functions are an error");
    cmd.add_option("REFERENCE", compare.reference, "Reference file")->required();
    cmd.add_option("SAMPLE", batch.samples, "Sample file; several give one row per file")->required();
    cmd.add_option("--jobs", batch.jobs, "Sample files compared at once (default: one per core; at most 256)")
        ->check(kJobs);
    cmd.add_option("--formula", compare.formula, "Colour-difference formula")->capture_default_str();
    cmd.add_option("--max", compare.max, "Tolerance: exit status 1 when a sample exceeds it")
        ->check(kTolerance);
    cmd.add_option("--table", compare.table, "Table of both files (default: the first with colour data)");
    cmd.add_option("--tolerances", compare.tolerances,
        "Tolerance set (a shipped name or a JSON file): limits by patch group; exit status 1 when one fails");
    cmd.add_flag("--paper-relative", compare.paperRelative,
        "Colorimetry of each file relative to its own paper white (ISO 13655 Annex A)");
    AddViewingOptions(cmd, compare.viewing);
}

// The shipped tolerance sets, for the help of compare and report.
std::string ToleranceSetNames(const CommonOptions& common)
{
    std::string text;
    for (const std::string& name : tool::ShippedToleranceSets(common))
        text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "none found" : text;
}

// The first word that is neither an option nor an option's value, when it names no subcommand:
// CLI11 would call it a missing subcommand.
std::string UnknownSubcommand(const CLI::App& app, int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--")
            break;
        if (word.size() > 1 && word[0] == '-') {
            const CLI::Option* option = app.get_option_no_throw(word.substr(0, word.find('=')));
            if (option && option->get_type_size() > 0 && word.find('=') == std::string::npos)
                ++i;
            continue;
        }
        for (const CLI::App* sub : app.get_subcommands({}))
            if (sub->check_name(word))
                return {};
        return word;
    }
    return {};
}

// Commands that write a file of their own kind say so rather than ignore --format.
void RefuseFormat(const CLI::App& app, const CLI::App& cmd, const std::string& what)
{
    if (app.count("--format") + cmd.count("--format") > 0)
        throw tool::Error("--format does not apply: " + cmd.get_name() + " " + what);
}

} // namespace

namespace tool {

int Main(int argc, char** argv, const std::string& shipped)
{
    CommonOptions common;
    common.shipped = shipped;
    common.program = argc > 0 ? argv[0] : "tintvale";
    // Each failure the library tells is also returned as a code, which the tool reports in its own
    // words, once: the library's own line would come twice, in the library's source terms.
    tintvale_set_message_handler([](const char*, const char*, int, void*) {}, nullptr);

    CLI::App app { "Colour measurements, differences and densities with the Tintvale library", "tintvale" };
    app.require_subcommand(1);
    app.fallthrough();
    AddCommonOptions(app, common);
    app.set_version_flag(
        "--version", std::string("tintvale ") + TintvaleGetVersion(nullptr, nullptr, nullptr));

    // Every subcommand reads and computes all it reports before it writes, last, so a failure leaves
    // no partial output behind; the report goes straight to standard output, never held twice in
    // memory (a file's header may be millions of lines).
    std::function<int(std::ostream&)> run;

    tool::IlluminantsOptions illuminants;
    CLI::App* cmd
        = app.add_subcommand("illuminants", "List illuminants with x, y and correlated colour temperature");
    cmd->add_option("DIR", illuminants.directory, "Directory of illuminant files");
    cmd->callback(
        [&] { run = [&](std::ostream& out) { return tool::RunIlluminants(common, illuminants, out); }; });

    tool::InfoOptions info;
    cmd = app.add_subcommand("info", "Describe a measurement data file");
    cmd->add_option("FILE", info.file, "CGATS measurement data file")->required();
    cmd->callback([&] { run = [&](std::ostream& out) { return tool::RunInfo(common, info, out); }; });

    tool::LabOptions lab;
    cmd = app.add_subcommand(
        "lab", "Add or overwrite the Lab columns, computed from each sample as a measurement");
    cmd->add_option("FILE", lab.file, "CGATS measurement data file")->required();
    cmd->add_option("-o,--output", lab.output, "Output file, - for standard output (the default)");
    AddAdaptOption(*cmd, common);
    cmd->callback([&app, &run, &common, &lab, cmd] {
        run = [&app, &common, &lab, cmd](std::ostream& out) {
            RefuseFormat(app, *cmd, "writes a measurement data file");
            return tool::RunLab(common, lab, out);
        };
    });

    tool::AverageOptions average;
    cmd = app.add_subcommand("average", "Average several measurements of one chart");
    cmd->add_option("FILE", average.files, "CGATS measurement data files")->required();
    cmd->add_option("-o,--output", average.output, "Output file, - for standard output")->required();
    AddAdaptOption(*cmd, common);
    cmd->callback([&app, &run, &common, &average, cmd] {
        run = [&app, &common, &average, cmd](std::ostream& out) {
            RefuseFormat(app, *cmd, "writes a measurement data file");
            return tool::RunAverage(common, average, out);
        };
    });

    tool::ConvertOptions convert;
    cmd = app.add_subcommand(
        "convert", "Rewrite a measurement data file in the conventions of ArgyllCMS or CGATS.17, or as CxF3");
    cmd->add_option("FILE", convert.file, "CGATS or CxF3 measurement data file")->required();
    cmd->add_option("--to", convert.to,
           "Convention: argyll (CTI3/SPECT files), cgats (CGATS.17 names) or cxf (CxF3 document)")
        ->required()
        ->check(CLI::IsMember({ "argyll", "cgats", "cxf" }));
    cmd->add_option("-o,--output", convert.output, "Output file, - for standard output")->required();
    cmd->callback([&] { run = [&](std::ostream& out) { return tool::RunConvert(common, convert, out); }; });

    tool::CompareOptions compare;
    tool::BatchOptions compareBatch;
    cmd = app.add_subcommand("compare",
        "Colour differences between measurements of one chart (several samples: one row per file)");
    AddCompareOptions(*cmd, compare, compareBatch, common);
    cmd->callback([&] {
        run = [&](std::ostream& out) {
            if (compareBatch.samples.size() > 1)
                return tool::RunBatchCompare(common, compare, compareBatch, out);
            compare.sample = compareBatch.samples.front();
            return tool::RunCompare(common, compare, out);
        };
    });

    tool::ReportOptions report;
    cmd = app.add_subcommand("report",
        "Colour differences of two measurements as one self-contained HTML page (several: one page each)");
    tool::BatchOptions reportBatch;
    AddCompareOptions(*cmd, report.compare, reportBatch, common);
    cmd->add_option("-o,--output", report.output,
           "Output HTML file (-: standard output); with several samples the directory of their pages")
        ->required();
    cmd->add_option("--title", report.title, "Title of the page (default: names the two files)");
    cmd->add_flag(
        "--full-paths", report.fullPaths, "Name the files by their paths as given (default: base names)");
    cmd->callback([&app, &run, &common, &report, &reportBatch, cmd] {
        run = [&app, &common, &report, &reportBatch, cmd](std::ostream& out) {
            if (reportBatch.samples.size() > 1)
                return tool::RunBatchReport(common, report, reportBatch, out);
            RefuseFormat(app, *cmd, "writes an HTML page");
            report.compare.sample = reportBatch.samples.front();
            return tool::RunReport(common, report, out);
        };
    });

    tool::DensityOptions density;
    cmd = app.add_subcommand("density", "Status densities C, M, Y, V and the dominant filter per sample");
    cmd->add_option("FILE", density.file, "CGATS measurement data file")->required();
    cmd->add_option("--standard", density.density.standard, "Density standard")->capture_default_str();
    cmd->add_option(
        "--paper", density.density.paper, "Sample (name or number) the densities are relative to");
    cmd->add_option(
        "--table", density.density.table, "Table of the file (default: the first with colour data)");
    cmd->callback([&] { run = [&](std::ostream& out) { return tool::RunDensity(common, density, out); }; });

    tool::TviOptions tvi;
    cmd = app.add_subcommand(
        "tvi", "Tone value and tone value increase of the tints of each process channel");
    cmd->add_option("FILE", tvi.file, "CGATS measurement data file with device values")->required();
    cmd->add_option("--standard", tvi.tone.standard, "Density standard")->capture_default_str();
    cmd->add_option(
        "--paper", tvi.tone.paper, "Paper sample (name or number; default: the patch with every channel 0)");
    cmd->add_option("--method", tvi.tone.method,
           "density: Murray-Davies from status density; sctv: spot colour tone value from CIELAB")
        ->check(CLI::IsMember({ "density", "sctv" }))
        ->capture_default_str();
    cmd->add_option("--black-filter", tvi.tone.blackFilter,
           "Filter of black's densities: visual (as presses measure black) or densest (as the colours)")
        ->check(CLI::IsMember({ "visual", "densest" }))
        ->capture_default_str();
    cmd->add_option("--table", tvi.tone.table, "Table of the file (default: the first with colour data)");
    cmd->callback([&] { run = [&](std::ostream& out) { return tool::RunTvi(common, tvi, out); }; });

    tool::AppearanceOptions appearance;
    cmd = app.add_subcommand("appearance",
        "Appearance correlates J, C, h, Q, M, s, H of every sample (CIECAM02, CAM16, CIECAM16)");
    cmd->add_option("FILE", appearance.file, "CGATS measurement data file")->required();
    cmd->add_option("--model", appearance.appearance.model, "Appearance model")
        ->check(CLI::IsMember({ "CIECAM02", "CAM16", "CIECAM16" }, CLI::ignore_case))
        ->capture_default_str();
    AddViewingOptions(*cmd, appearance.appearance.viewing);
    cmd->add_option(
           "--white", appearance.appearance.white, "Adopted white X,Y,Z (default: the illuminant's, Y = 100)")
        ->delimiter(',')
        ->expected(3);
    cmd->add_option(
        "--table", appearance.appearance.table, "Table of the file (default: the first with colour data)");
    AddAdaptOption(*cmd, common);
    cmd->callback(
        [&] { run = [&](std::ostream& out) { return tool::RunAppearance(common, appearance, out); }; });

    tool::MatchOptions match;
    cmd = app.add_subcommand("match", "Find a reflectance spectrum matching a CIELAB value");
    cmd->add_option("L", match.lab[0], "L*")->required();
    cmd->add_option("a", match.lab[1], "a*")->required();
    cmd->add_option("b", match.lab[2], "b*")->required();
    cmd->callback([&] { run = [&](std::ostream& out) { return tool::RunMatch(common, match, out); }; });

    tool::LampOptions lamp;
    cmd = app.add_subcommand(
        "lamp", "Judge a light: CCT and Duv, CIE 13.3 CRI, CIE 224 Rf, TM-30 and the ISO 3664 viewing booth");
    cmd->add_option("FILE", lamp.file,
        "Emissive spectrum: a CGATS or ArgyllCMS .sp file of one spectrum, or an illuminant (.ill) file");
    cmd->callback([&] { run = [&](std::ostream& out) { return tool::RunLamp(common, lamp, out); }; });

    // The common options are accepted after a subcommand too, so its help lists them, with the
    // names its own options accept.
    for (CLI::App* sub : app.get_subcommands({})) {
        AddCommonOptions(*sub, common);
        if (sub->get_option_no_throw("--formula"))
            sub->footer("Formulas (letter case ignored): " + tool::FormulaNames()
                + "\nTolerance sets shipped (or give a JSON file of your own): " + ToleranceSetNames(common));
        if (sub->get_option_no_throw("--standard"))
            sub->footer("Density standards: " + DensityStandardNames());
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        const std::string unknown = app.get_subcommands().empty() ? UnknownSubcommand(app, argc, argv) : "";
        if (!unknown.empty()) {
            std::string known;
            for (const CLI::App* sub : app.get_subcommands({}))
                known += (known.empty() ? "" : ", ") + sub->get_name();
            std::cerr << "tintvale: unknown subcommand \"" << unknown << "\" (" << known << ")\n";
            return tool::kExitError;
        }
        std::cerr << "tintvale: " << OneLine(e.what()) << " (see tintvale --help)\n";
        return tool::kExitError;
    }

    try {
        errno = 0;
        const int status = run(std::cout);
        std::cout << std::flush;
        if (std::cout)
            return status;
        const int error = errno;
        std::cerr << "tintvale: standard output could not be written"
                  << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
    } catch (const tool::Error& e) {
        std::cerr << "tintvale: " << OneLine(e.what()) << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "tintvale: out of memory\n";
    } catch (const std::exception& e) {
        std::cerr << "tintvale: " << OneLine(e.what()) << '\n';
    }
    return tool::kExitError;
}

} // namespace tool
