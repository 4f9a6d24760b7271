// Shared test helpers: capture what the library hands to the message and warning sinks; simple spectra.
#ifndef TINTVALE_TESTS_TEST_SUPPORT_H
#define TINTVALE_TESTS_TEST_SUPPORT_H

#include "halden.h"

#include <tintvale/tspectrum.h>

#include <fstream>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

struct CapturedMessage {
    std::string text;
    std::string file;
    int line = 0;
};

// Installs capturing sinks for its lifetime and restores the previous ones after.
class MessageCapture {
public:
    MessageCapture()
    {
        mOldMessage = halden_set_message_handler([this](const char* text, const char* file, int line) {
            messages.push_back({ text, file, line });
        });
        mOldWarning = halden_set_warning_handler([this](int level, const char* text) {
            warnings.push_back({ text, "", level });
        });
    }
    ~MessageCapture()
    {
        halden_set_message_handler(mOldMessage);
        halden_set_warning_handler(mOldWarning);
    }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    std::vector<CapturedMessage> messages;
    std::vector<CapturedMessage> warnings; // line holds the warning level

private:
    HaldenMessageHandler mOldMessage;
    HaldenWarningHandler mOldWarning;
};

// A spectrum on the 36-point grid with sample i = first + step * i.
inline TSpectrum Ramp(double first, double step)
{
    double samples[36];
    for (int i = 0; i < 36; ++i)
        samples[i] = first + step * i;
    return TSpectrum(samples);
}

inline TSpectrum Flat(double value) { return Ramp(value, 0.0); }

// 1.0 below 500 nm, 0.01 from 500 nm on: a yellow-free, deep red and green absorber.
inline TSpectrum Step()
{
    double v[36];
    for (int i = 0; i < 36; ++i)
        v[i] = (380 + 10 * i < 500) ? 1.0 : 0.01;
    return TSpectrum(v);
}

// The numbers of a CSV file, row by row, after its header line.
inline std::vector<std::vector<double>> CsvRows(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::vector<double>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream cells(line);
        cells.imbue(std::locale::classic());
        rows.emplace_back();
        for (double value; cells >> value; cells.ignore(1, ','))
            rows.back().push_back(value);
    }
    return rows;
}

#endif
