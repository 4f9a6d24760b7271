// TCgats: turning table rows into measurement objects and back, and adding whole columns (Lab
// values, ink-book names) to a table.
#include <tintvale/tcgats.h>
#include <tintvale/tfineintegration.h>
#include <tintvale/tlabspace.h>

#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tlabmeasurement.h>
#include <tintvale/tonemeasurement.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>
#include <tintvale/txyzmeasurement.h>

#include "halden.h"
#include "numtext.h"
#include "tcgats_vocabulary.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"
#include "tilluminantandobserver_cache.h"

using namespace tintvale::detail;

namespace {

constexpr const char* kInkBookField = "InkBook";
constexpr double kPercent = 100.0;

// A measurement coordinate is the paper fraction of a channel: 1 - tint / 100.
double TintToCoordinate(double tint) { return 1.0 - tint / kPercent; }
double CoordinateToTint(double coordinate) { return (1.0 - coordinate) * kPercent; }

bool IsProcessModel(int model)
{
    return model == TCgatsTableHeader::kCmyk || model == TCgatsTableHeader::kCustom
        || model == TCgatsTableHeader::kNColor;
}

// The white point of illuminant and observer on the 36-point grid; false when they cannot
// integrate (either missing, or an illuminant without spectrum or luminance).
bool WhitePoint(const TIlluminant* illuminant, const TObserver* observer, double* white)
{
    if (!illuminant || !observer)
        return false;
    // Made once for the rows of a table, not once a row.
    const TIlluminantAndObserver& iao = tintvale::detail::ThreadIntegrator(illuminant, observer);
    return iao.ErrNo() == 0 && iao.GetXYZWhite(white) == 0;
}

TCgatsValueListDouble* DoubleColumn(TCgatsTable& table, int field)
{
    if (field < 0 || field >= static_cast<int>(table.columns.size()))
        return nullptr;
    return dynamic_cast<TCgatsValueListDouble*>(table.columns[field].get());
}

// One value to be written into a Double column.
struct PendingValue {
    TCgatsValueListDouble* column;
    double value;
};

} // namespace

std::shared_ptr<TOneMeasurement> TCgats::GetMeasurement(
    int t, int s, TIlluminant* illuminant, TObserver* observer, TMeasGeom* geometry) const
{
    const TCgatsTable* table = SoundTable(t);
    if (!table || !table->ValidSample(s))
        return nullptr;
    const TCgatsTableHeader& h = *table->header;

    std::vector<double> coords;
    if (IsProcessModel(h.colorModel)) {
        coords.resize(h.colorFields.size());
        if (table->GetValues(s, h.colorFields, 1.0, coords.data()) != 0)
            return nullptr;
        for (double& c : coords)
            c = TintToCoordinate(c);
    }
    const int n = static_cast<int>(coords.size());
    const double* coordData = n > 0 ? coords.data() : nullptr;

    std::unique_ptr<TOneMeasurement> m;
    if (h.nrWaveLengths > 0) {
        std::vector<double> wavelengths;
        std::vector<double> values;
        if (GetWaveLengths(t, wavelengths) != 0 || GetSpectrum(t, s, values) != 0)
            return nullptr;
        const TSpectrum spectrum(wavelengths.data(), static_cast<int>(wavelengths.size()), values.data());
        if (spectrum.ErrNo() != 0)
            return nullptr;
        m = std::make_unique<TReflectionSpectrum>(spectrum, geometry, n, coordData);
    } else if (!h.labFields.empty()) {
        double white[3] = { 0.0, 0.0, 0.0 };
        double lab[3];
        if (!WhitePoint(illuminant, observer, white) || table->GetValues(s, h.labFields, 1.0, lab) != 0)
            return nullptr;
        m = std::make_unique<TLABMeasurement>(
            lab[0], lab[1], lab[2], white, geometry, illuminant, observer, n, coordData);
    } else if (!h.xyzFields.empty()) {
        double xyz[3];
        if (table->GetValues(s, h.xyzFields, 1.0, xyz) != 0)
            return nullptr;
        m = std::make_unique<TXYZMeasurement>(
            xyz[0], xyz[1], xyz[2], geometry, illuminant, observer, n, coordData);
    }
    if (!m || m->ErrNo() != 0)
        return nullptr;
    return std::shared_ptr<TOneMeasurement>(std::move(m));
}

std::shared_ptr<TOneMeasurement> TCgats::GetMeasurement(
    int t, int s, const TFineIntegration& integration, TMeasGeom* geometry) const
{
    // Colorimetric tables need no integration; their measurements borrow the illuminant as ever.
    auto* illuminant = const_cast<TIlluminant*>(integration.GetIlluminant());
    TObserver observer(*integration.GetObserver());
    const TCgatsTable* table = SoundTable(t);
    if (!table || !table->ValidSample(s) || integration.ErrNo() != 0)
        return nullptr;
    if (table->header->nrWaveLengths <= 0)
        return GetMeasurement(t, s, illuminant, &observer, geometry);
    std::vector<double> wavelengths;
    std::vector<double> values;
    if (GetWaveLengths(t, wavelengths) != 0 || wavelengths != integration.GetWavelengths()
        || GetSpectrum(t, s, values) != 0)
        return nullptr;
    // The process-colour coordinates as the plain form attaches them.
    const std::shared_ptr<TOneMeasurement> plain = GetMeasurement(t, s, illuminant, &observer, geometry);
    double xyz[3];
    double white[3];
    double lab[3];
    if (!plain || integration.GetXYZ(values.data(), static_cast<int>(values.size()), xyz) != 0
        || integration.GetXYZWhite(white) != 0 || TLabSpace(white).XYZToLab(xyz, lab) != 0)
        return nullptr;
    int count = 0;
    const double* coords = plain->GetCoord(&count);
    auto m = std::make_shared<TLABMeasurement>(
        lab[0], lab[1], lab[2], white, geometry, illuminant, integration.GetObserver(), count, coords);
    if (m->ErrNo() != 0)
        return nullptr;
    return m;
}

int TCgats::SetMeasurement(
    int t, int s, const TOneMeasurement* m, TIlluminant* illuminant, TObserver* observer)
{
    if (!SoundTable(t) || !m || m->ErrNo() != 0)
        return -1;
    TCgatsTable& table = *tables[t];
    if (!table.ValidSample(s))
        return -1;
    const TCgatsTableHeader& h = *table.header;

    int nrCoords = 0;
    const double* coords = m->GetCoord(&nrCoords);
    if (nrCoords < 0 || (nrCoords > 0 && !coords))
        return -1;

    // Everything is computed, and every target column found, before the first value is written.
    std::vector<PendingValue> pending;
    auto queue = [&](int field, double value) {
        TCgatsValueListDouble* column = DoubleColumn(table, field);
        if (!column)
            return false;
        pending.push_back({ column, value });
        return true;
    };

    const std::vector<int>& channels = !h.colorFields.empty() ? h.colorFields : h.spotFields;
    const int nrChannels = !h.colorFields.empty() ? h.nrColors : h.nrSpots;
    if (nrCoords != nrChannels || static_cast<int>(channels.size()) != nrChannels)
        return -1;
    for (int k = 0; k < nrChannels; ++k)
        if (!queue(channels[k], CoordinateToTint(coords[k])))
            return -1;

    if (!h.labFields.empty()) {
        double white[3], lab[3];
        if (!illuminant || !observer || !WhitePoint(illuminant, observer, white)
            || m->GetLAB(illuminant, observer, white, lab) != 0)
            return -1;
        for (int k = 0; k < 3; ++k)
            if (!queue(h.labFields[k], lab[k]))
                return -1;
    }

    if (h.nrWaveLengths > 0) {
        const TSpectrum* spectrum = m->GetSpectrum();
        if (spectrum) {
            // Interpolated at each of the table's wavelengths, whatever their spacing; on the
            // 10-nm grid this gives the grid values themselves.
            const double factor = 1.0 / SpectralFactor(t);
            std::vector<double> nm;
            if (GetWaveLengths(t, nm) != 0 || nm.size() != h.waveLengthFields.size())
                return -1;
            for (std::size_t k = 0; k < nm.size(); ++k) {
                double value = 0.0;
                if (spectrum->GetNonUniformSpectrum(nm[k], nm[k], 1, &value) != 0)
                    return -1;
                if (!queue(h.waveLengthFields[k], value * factor))
                    return -1;
            }
        }
    }

    if (!h.xyzFields.empty()) {
        double xyz[3];
        if (!illuminant || !observer || m->GetXYZ(illuminant, observer, xyz) != 0)
            return -1;
        for (int k = 0; k < 3; ++k)
            if (!queue(h.xyzFields[k], xyz[k]))
                return -1;
    }

    for (const PendingValue& p : pending)
        p.column->Set(s, p.value);
    return 0;
}

int TCgats::FieldCountTag(int t) const
{
    // The "NUMBER_OF_FIELDS" line that declares table t is the last one after the data format of
    // table t - 1 and before that of table t.
    int formats = 0, found = -1;
    for (int i = 0; i < static_cast<int>(tags.size()); ++i) {
        if (!tags[i])
            continue;
        if (tags[i]->kind == kKindBeginDataFormat) {
            if (formats == t)
                break;
            ++formats;
        } else if (tags[i]->kind == kKindNumberOfFields && formats == t) {
            found = i;
        }
    }
    return found;
}

int TCgats::UpdateFieldCount(int t, int unquoted, const char* comment)
{
    const int i = FieldCountTag(t);
    if (i < 0)
        return kErrNotCgats;
    std::string value;
    AppendInt(value, tables[t]->NrFields());
    const TCgatsTag& old = *tags[i];
    const std::string keptComment = comment ? comment : old.Comment();
    const std::string name = old.Name() ? old.Name() : "";
    return InsertTag(old.kind, name.c_str(), unquoted < 0 ? old.unquoted : unquoted, value.c_str(),
        keptComment.c_str(), i, true);
}

int TCgats::AddLab(int t, const double** lab)
{
    if (errorCode != 0)
        return errorCode;
    if (!Table(t))
        return kErrNotCgats;
    const int result = tables[t]->AddLab(lab);
    if (result != 0)
        return result;
    return UpdateFieldCount(t, -1, nullptr);
}

int TCgats::AddInkBookNames(int t, const std::vector<std::string>& names)
{
    if (errorCode != 0)
        return errorCode;
    if (!Table(t))
        return kErrNotCgats;
    for (const std::string& name : names)
        if (!IsWritableText(name))
            return kErrUnwritableValue;
    TCgatsTable& table = *tables[t];
    const bool declared = table.header && table.header->HasField(kInkBookField);
    if (declared)
        return table.SetInkBookNames(names, 0);

    // Declared like a "KEYWORD" line read from a file, so that the column reads back the same.
    int vocabIndex = static_cast<int>(customFields.size());
    for (std::size_t k = 0; k < customFields.size(); ++k)
        if (strcmp_ci(customFields[k].c_str(), kInkBookField) == 0) {
            vocabIndex = static_cast<int>(k);
            break;
        }
    const int result = table.SetInkBookNames(names, vocabIndex);
    if (result != 0)
        return result;
    InsertTag(kKindKeyword, KeywordName(kKindKeyword), 0, kInkBookField, "", -1, false);
    AddCustomField(kInkBookField);
    return UpdateFieldCount(t, 1, "");
}
