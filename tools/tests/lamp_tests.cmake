# `tintvale lamp`: light-source quality of spectra in files and of shipped illuminants, and the
# refusals of what is no lamp spectrum. Expected values: CIE 15:2004 Table T.8 (F11: x 0.3805,
# y 0.3769, Ra 83).
set(LAMPS ${CMAKE_CURRENT_SOURCE_DIR}/tests/data)
tintvale_tool_test(lamp_argyll_sp RC 0 ARGS lamp ${LAMPS}/lamp_f11.sp --format json
  JSON "x=0.3805=0.00006" "y=0.3769=0.00006" "cri.ra=83=0.5" "tm30.edition=ANSI/IES TM-30-20=text"
       "iso3664.verdict=fail=text" "iso3664.cri_ok=OFF=text" "iso3664.chromaticity_ok=OFF=text")
# The shipped illuminant files hold the CIE tables at 10 nm (CIE 15:2004 Table T.8.1: F11 4000 K).
tintvale_tool_test(lamp_illuminant_file RC 0 ARGS lamp ${ILLUMINANTS}/CIE_Illuminant_F11.ill --format json
  JSON "cct=4000=5" "cri.ra=83=0.5")
tintvale_tool_test(lamp_broken_illuminant_file RC 2 ARGS lamp ${LAMPS}/lamp_f11.sp.ill STDERR "not a readable illuminant file")
tintvale_tool_test(lamp_cgats RC 0 ARGS lamp ${LAMPS}/lamp_f7_cgats.txt --format json
  JSON "x=0.3129=0.00006" "y=0.3292=0.00006" "cri.ra=90=0.5")
tintvale_tool_test(lamp_table RC 0 ARGS lamp ${LAMPS}/lamp_f11.sp
  STDOUT "CCT: +3999" "Ra: +82[.]8" "Rg [(]ANSI/IES TM-30-20[)]: +101[.]0" "verdict: fail")
tintvale_tool_test(lamp_shipped_d50 RC 0 ARGS lamp --illuminant "CIE Illuminant D50" --format json
  JSON "iso3664.chromaticity_ok=ON=text" "iso3664.cri_ok=ON=text" "iso3664.verdict=not evaluated=text")
tintvale_tool_test(lamp_short RC 2 ARGS lamp ${LAMPS}/lamp_short.sp STDERR "lamp_short.sp: the spectrum does not cover 380-780 nm")
tintvale_tool_test(lamp_reflective RC 2 ARGS lamp ${LAMPS}/lamp_reflective.sp STDERR "MEAS_TYPE REFLECTIVE")
tintvale_tool_test(lamp_negative RC 2 ARGS lamp ${LAMPS}/lamp_negative.sp STDERR "negative spectral power")
tintvale_tool_test(lamp_dark RC 2 ARGS lamp ${LAMPS}/lamp_dark.sp STDERR "every spectral power is zero")
tintvale_tool_test(lamp_nothing RC 2 ARGS lamp STDERR "give a FILE or --illuminant NAME")
