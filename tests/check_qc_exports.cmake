# Fails when the QC library exports anything but its own namespace, or misses an entry point hosts use.
execute_process(COMMAND nm -D --defined-only ${LIB} OUTPUT_VARIABLE mangled RESULT_VARIABLE rc)
execute_process(COMMAND nm -DC --defined-only ${LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc2)
if(NOT rc EQUAL 0 OR NOT rc2 EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
string(REPLACE "\n" ";" lines "${mangled}")
set(count 0)
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  math(EXPR count "${count} + 1")
  # Functions and data of tintvale::qc, and the typeinfo and vtables of its classes.
  if(NOT line MATCHES " _Z(N|NK|TIN|TSN|TVN)8tintvale2qc")
    message(SEND_ERROR "exported outside tintvale::qc: ${line}")
  endif()
endforeach()
if(count LESS 50)
  message(SEND_ERROR "only ${count} symbols exported")
endif()
# Internal machinery of the page, and the colour library's or JSON's own symbols, must not be
# re-exported.
string(REPLACE "\n" ";" demangled "${symbols}")
foreach(line IN LISTS demangled)
  if(line MATCHES " [A-Za-z] (tintvale::qc::pageparts::|tintvale::qc::\\(anonymous|TCgats::|TSpectrum::|nlohmann::)")
    message(SEND_ERROR "internal symbol exported: ${line}")
  endif()
endforeach()
foreach(required
    "tintvale::qc::Compare(tintvale::qc::CommonOptions const&, tintvale::qc::CompareOptions const&"
    "tintvale::qc::CompareMany(" "tintvale::qc::ReportMany(" "tintvale::qc::RenderBatch("
    "tintvale::qc::EvaluateTolerances(" "tintvale::qc::LoadToleranceSet(" "tintvale::qc::ParseToleranceSet("
    "tintvale::qc::ComputeToneValues(" "tintvale::qc::HtmlReport[" "tintvale::qc::WriteReportPage("
    "tintvale::qc::RenderComparison(" "tintvale::qc::RenderToneValues(" "tintvale::qc::Chart::Chart("
    "typeinfo for tintvale::qc::Error" "typeinfo for tintvale::qc::InputError")
  string(FIND "${symbols}" "${required}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "not exported: ${required}")
  endif()
endforeach()
