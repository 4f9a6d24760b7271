# `tintvale lamp`: light-source quality of spectra in files and of shipped illuminants, and the
# refusals of what is no lamp spectrum. Expected values: CIE 15:2004 Table T.8 (F11: x 0.3805,
# y 0.3769, Ra 83).
set(LAMPS ${CMAKE_CURRENT_SOURCE_DIR}/tests/data)
tintvale_tool_test(lamp_argyll_sp RC 0 ARGS lamp ${LAMPS}/lamp_f11.sp --format json
  JSON "x=0.3805=0.00006" "y=0.3769=0.00006" "cri.ra=83=0.5" "tm30.edition=ANSI/IES TM-30-20=text"
       "iso3664.verdict=fail=text" "iso3664.cri_ok=OFF=text" "iso3664.chromaticity_ok=OFF=text")
tintvale_tool_test(lamp_table RC 0 ARGS lamp ${LAMPS}/lamp_f11.sp
  STDOUT "CCT: +3999" "Ra: +82[.]8" "Rg [(]ANSI/IES TM-30-20[)]: +101[.]1" "verdict: fail")
tintvale_tool_test(lamp_shipped_d50 RC 0 ARGS lamp --illuminant "CIE Illuminant D50" --format json
  JSON "iso3664.chromaticity_ok=ON=text" "iso3664.cri_ok=ON=text" "iso3664.verdict=not evaluated=text")
tintvale_tool_test(lamp_short RC 2 ARGS lamp ${LAMPS}/lamp_short.sp STDERR "lamp_short.sp: the spectrum does not cover 380-780 nm")
tintvale_tool_test(lamp_reflective RC 2 ARGS lamp ${LAMPS}/lamp_reflective.sp STDERR "MEAS_TYPE REFLECTIVE")
tintvale_tool_test(lamp_negative RC 2 ARGS lamp ${LAMPS}/lamp_negative.sp STDERR "negative spectral power")
tintvale_tool_test(lamp_dark RC 2 ARGS lamp ${LAMPS}/lamp_dark.sp STDERR "every spectral power is zero")
tintvale_tool_test(lamp_nothing RC 2 ARGS lamp STDERR "give a FILE or --illuminant NAME")
