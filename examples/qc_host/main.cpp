// A host of the QC library: judges a printed sample against its reference under a shipped tolerance
// set, prints the verdict and the worst patch, and writes the report page.
#include <tintvale/qc/compare.h>
#include <tintvale/qc/page.h>
#include <tintvale/qc/tolerances.h>

#include <cstdio>
#include <iostream>

namespace qc = tintvale::qc;

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: qc_host REFERENCE SAMPLE PAGE.html\n";
        return 2;
    }
    try {
        qc::CommonOptions common; // the conditions the files state, else D50 and the 2 degree observer
        qc::CompareOptions options;
        options.reference = argv[1];
        options.sample = argv[2];
        options.tolerances = "iso12647-2-solids-paper"; // a shipped set, found beside the library
        const qc::Comparison c = qc::Compare(common, options);

        const qc::PatchDifference& worst = c.patches[c.worst];
        std::printf("verdict: %s\n", c.VerdictText());
        std::printf("worst: %s, %s %.2f\n", worst.name.c_str(), c.FormulaName(), worst.dE);
        for (const qc::GroupResult& g : c.tolerances->groups)
            std::printf("group %s: %s\n", g.group.name.c_str(), qc::VerdictName(g.verdict));
        std::printf("tolerance set: %s\n", c.tolerances->set.path.c_str());
        for (const std::string& w : c.warnings)
            std::printf("warning: %s\n", w.c_str());

        qc::ReportOptions page;
        page.compare = options;
        page.output = argv[3];
        qc::WriteReportPage(c, page, std::cout);
        return c.Failed() ? 1 : 0;
    } catch (const qc::Error& e) {
        std::cerr << "qc_host: " << e.what() << '\n';
        return 2;
    }
}
