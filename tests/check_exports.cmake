# Fails when the shared library exports internal machinery or misses its public classes.
execute_process(COMMAND nm -DC --defined-only ${LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(forbidden "lin_interp_|error_mess_fl|halden_|strcmp_ci|strncmp_ci|strncpy_w0|fltoffl|ffltofl|fopenr|fopenw|fgetm|fputm|fclosx|pindle_error|Ostrel::|open_utf8|TSpectrumRecord|TCgatsTag|TCgatsField|TCgatsTableHeader|TCgatsValueList|TCgatsTable|tintvale::detail|sqlite3_| quire_|str_int_from_itemstr|str_double_from_itemstr")
foreach(line IN LISTS lines)
  if(line MATCHES " [TtDdBbRrVvWw] " AND line MATCHES "${forbidden}")
    message(SEND_ERROR "internal symbol exported: ${line}")
  endif()
endforeach()
# One public symbol per line: each must be exported.
set(required
  "TSpectrum::TSpectrum()"
  "TintvaleGetVersion(int*, int*, int*)"
  "TSpectrum::ToFileData(int*) const"
  "TSpectrum::GetDensity(TCMS::FilterStandard, double*, int*) const"
  "NeuralNetworkHelpers::ApplyNeuralTintInterpolation(std::"
  "NeuralNetworkHelpers::ApplyNeuralTintInterpolation(char*"
  "JsonHelpers::FindConstJsonRefInJson("
  "JsonHelpers::ToLower("
  "WriteInt(int, std::ostream&)"
  "ReadCharUpTo(std::istream&"
  "streambufExt::openfile()"
  "fdifstream::fdifstream("
  "fdofstream::close()"
  "TCMS_EncodeIllegalCharacters(char const*, char*, char const*)"
  "TCMS_DecodeIllegalCharacters(std::"
  "TCacheFile::Save()"
  " T orvane_quire_err\n"
  " T tintvale_set_message_handler\n"
  " T tintvale_set_warning_handler\n"
  "TObserver::sXSpectrum"
  "TMeasGeom::sGeomList"
  "TObjFac::iRand"
  "TList::Sort()"
  "TAppearanceModel::Forward(double const*, TAppearanceModel::Correlates*) const"
  "TIlluminantAndObserver::sASTMtable6"
  "TFineIntegration::SetWavelengths(double const*, int)"
  "TIlluminantFactory::AddDirectory(char const*)"
  "TIlluminantAndObserver::CalculateMatchingSpectrum("
  "TSpectrum::GetNonUniformSpectrum(double, double, int, double*) const"
  "TOneMeasurement::GetSCTV("
  "TLABMeasurement::CreateSpectralMeasurement(TOneMeasurement const*) const"
  "typeinfo for TReflectionSpectrum"
  "TLabSpace::XYZToLab(double const*, double*) const"
  "TChromaticAdaptation::Adapt(double const*, double*) const"
  "TSrgb::LabToRgb(double const*, double*) const"
  "TLabSpace::CalcSquareDeltaEConvertedStatic(double const*, double const*, int)"
  "TColorSpace::TColorSpace(double const*, int)"
  "TColorSpace_CIECAM02::FromXYZ(double const*, double*) const"
  "TColorSpace_CIECAM97s::ToXYZ(double const*, double*) const"
  "TXYZRSpace::XYZToXYZR(double const*, double*) const"
  "TCgats::GetFieldNameIndex(int, char const*) const"
  "TCgats::TCgats(char const*)"
  "TCgats::SaveAs(char const*) const"
  "TCgats::GetLayoutInfo() const"
  "TCgats::GetMeasurement(int, int, TIlluminant*, TObserver*, TMeasGeom*) const"
  "TCgats::TCgats(std::vector<TCgats const*"
  "TCMS::TLayoutInfo::TLayoutInfo()"
  "TCMS::WriteFileAtomically(char const*, void const*, unsigned long)"
)
foreach(required IN LISTS required)
  string(FIND "${symbols}" "${required}" pos)
  if(pos EQUAL -1)
    message(SEND_ERROR "public symbol not exported: ${required}")
  endif()
endforeach()
