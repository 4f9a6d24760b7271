# Honest data: cells that are not numbers, the conditions files state for their colorimetric data,
# their refusal and adaptation, the colour columns `lab` rewrites, and densities of colorimetric data.
set(labHead "CGATS.17\nKEYWORD \"SampleID\"\n")
set(labFormat "BEGIN_DATA_FORMAT\nSampleID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\n")
file(WRITE ${FILES}/na_lab.txt "${labHead}${labFormat}NUMBER_OF_SETS 2\nBEGIN_DATA\na 50 0 0\nb n/a 0 0\nEND_DATA\n")
file(WRITE ${FILES}/lab_d50.txt "${labHead}${labFormat}NUMBER_OF_SETS 1\nBEGIN_DATA\nc 50 20 -30\nEND_DATA\n")
# The forms of profiling software and of instrument software.
file(WRITE ${FILES}/lab_d65.txt
  "${labHead}KEYWORD \"ILLUMINANT\"\nILLUMINANT \"D65\"\n${labFormat}NUMBER_OF_SETS 1\nBEGIN_DATA\nc 50 20 -30\nEND_DATA\n")
file(WRITE ${FILES}/lab_10.txt "${labHead}MEASUREMENT_SOURCE \"Illumination=D50 ObserverAngle=10degree WhiteBase=Abs\"\n"
  "${labFormat}NUMBER_OF_SETS 1\nBEGIN_DATA\nc 50 20 -30\nEND_DATA\n")
# A flat reflectance of 0.5 with stale XYZ, xyY and LCh columns, stated for the 10 degree observer.
set(nm)
set(values)
foreach(w RANGE 380 730 10)
  string(APPEND nm " nm${w}")
  string(APPEND values " 0.5")
endforeach()
file(WRITE ${FILES}/flat_columns.txt "${labHead}KEYWORD \"OBSERVER\"\nOBSERVER \"10\"\n"
  "WEIGHTING_FUNCTION \"OBSERVER, 10 degree\"\nBEGIN_DATA_FORMAT\nSampleID${nm} XYZ_X XYZ_Y XYZ_Z XYY_X XYY_Y LAB_C LAB_H\n"
  "END_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\nflat${values} 1 2 3 0.1 0.2 7 8\n"
  "second${values} 1 2 3 0.1 0.2 7 8\nEND_DATA\n")
string(REPLACE " 0.5" " 0" blackValues "${values}")
file(WRITE ${FILES}/black_spectrum.txt "${labHead}BEGIN_DATA_FORMAT\nSampleID${nm}\nEND_DATA_FORMAT\n"
  "NUMBER_OF_SETS 2\nBEGIN_DATA\nflat${values}\nblack${blackValues}\nEND_DATA\n")

# A cell that is not a number stops the file at its line, by field name.
tintvale_tool_test(strict_number_cell RC 2 ARGS compare ${FILES}/na_lab.txt ${FILES}/na_lab.txt
  STDERR "na_lab[.]txt:9: Field LAB_L holds .n/a., which is not a number[.] [(]code 31[)]\n$")

# D65 data are refused under D50 (the reference states none), naming both; adapted, they agree
# with NumPy 1.24 computed once: Lab 50, 20, -30 under D65 to XYZ (CIE 15) relative to the stated
# illuminant's white of CIE 15:2004 Table T.3 (95.047, 100, 108.883), inv(M) diag(M w50 / M w65) M
# with the published Bradford and CAT02 matrices to the shipped D50 white (96.3841162, 100,
# 82.4535339, 36 samples, 2 degree), to Lab under it. The method and both whites are in the summary.
tintvale_tool_test(conditions_refused RC 2 ARGS compare ${FILES}/lab_d50.txt ${FILES}/lab_d65.txt
  STDERR "lab_d65[.]txt: its colorimetric data are under D65, 2 degree observer [^\n]*, not CIE Illuminant D50, 2 degree observer as asked; --adapt bradford, cat02 or cat16 adapts them\n$")
tintvale_tool_test(conditions_bradford RC 0
  ARGS compare ${FILES}/lab_d50.txt ${FILES}/lab_d65.txt --adapt bradford --format json
  JSON samples.0.L=49.7216581=0.0002 samples.0.a=16.9834538=0.0002 samples.0.b=-30.2374501=0.0002
       samples.0.ref_L=50=0 summary.illuminant=CIE\ Illuminant\ D50=text
       "summary.adaptation=${FILES}/lab_d65.txt: Bradford from CIE Illuminant D65 (95.047, 100.000, 108.883) to CIE Illuminant D50 (96.384, 100.000, 82.454)=text")
tintvale_tool_test(conditions_cat02 RC 0 ARGS compare ${FILES}/lab_d50.txt ${FILES}/lab_d65.txt --adapt CAT02 --format json
  JSON samples.0.L=49.5875548=0.0002 samples.0.a=17.2047820=0.0002 samples.0.b=-30.8366962=0.0002)
# Asked for D65, the D50 Lab reference of a spectral sample is refused, not compared as if D65.
tintvale_tool_test(conditions_asked_d65 RC 2
  ARGS compare ${FILES}/white_lab.txt ${SAMPLES}/chart_reference.txt --illuminant "CIE Illuminant D65"
  STDERR "white_lab[.]txt: its colorimetric data are under D50, 2 degree observer [^\n]*, not CIE Illuminant D65")
# Another observer needs spectra: refused even with an adaptation.
tintvale_tool_test(conditions_observer RC 2 ARGS compare ${FILES}/lab_d50.txt ${FILES}/lab_10.txt --adapt bradford
  STDERR "lab_10[.]txt: its colorimetric data are for the D50, 10 degree observer, not CIE Illuminant D50, 2 degree observer as asked; another observer needs spectra\n$")
tintvale_tool_test(lab_observer_refused RC 2 ARGS lab ${FILES}/lab_10.txt --observer "2 degree"
  STDERR "another observer needs spectra")

# lab: every colour column recomputed under the conditions used and stated in every form. A flat
# 0.5 is half the white: on the grid (D50 2 degree 96.3841162, 100, 82.4535339) X 48.19206,
# Z 41.22677, x 0.345664, y 0.358632; by default, ASTM E308 weights for these 10-nm data, half the
# published ASTM E308 D50 2 degree white (96.422, 100, 82.521): X 48.211, Z 41.2605, x 0.34567,
# y 0.35850; L* = 116 * 0.5^(1/3) - 16 = 76.06926, C*ab 0 either way.
tintvale_tool_test(lab_columns RC 0 ARGS lab ${FILES}/flat_columns.txt --observer "2 degree" --integration grid
  STDOUT "\nOBSERVER\t\"2 degree\"\n" "\nWEIGHTING_FUNCTION\t\"ILLUMINANT, CIE Illuminant D50\"\nWEIGHTING_FUNCTION\t\"OBSERVER, 2 degree\"\n"
         "\nflat\t[^\n]*\t0[.]5\t48[.]192[01][0-9]*\t50\t41[.]22[67][0-9]*\t0[.]34566[0-9]*\t0[.]35863[0-9]*\t[0-9.e-]+\t[0-9.e-]+\t76[.]069[23][0-9]*\t[-0-9.e]+\t[-0-9.e]+\t?\n")
tintvale_tool_test(lab_columns_astm RC 0 ARGS lab ${FILES}/flat_columns.txt --observer "2 degree"
  STDOUT "\nWEIGHTING_FUNCTION\t\"INTEGRATION, ASTM E308 10 nm 380-730\"\n"
         "\nflat\t[^\n]*\t0[.]5\t48[.]21[01][0-9]*\t50[.]?0*[0-9]?\t41[.]26[01][0-9]*\t0[.]3456[67][0-9]*\t0[.]3584[9][0-9]*\t[0-9.e-]+\t[0-9.e-]+\t76[.]069[23][0-9]*\t[-0-9.e]+\t[-0-9.e]+\t?\n")
# Conditions are those of the file whose colorimetry was computed under them (Lab without spectra),
# ahead of a file of spectra and Lab that states D65: its spectra are recomputed under D50.
file(WRITE ${FILES}/spectra_lab_d65.txt "${labHead}KEYWORD \"ILLUMINANT\"\nILLUMINANT \"D65\"\n"
  "BEGIN_DATA_FORMAT\nSampleID${nm} LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\nc${values} 76 0 0\nEND_DATA\n")
tintvale_tool_test(conditions_of_the_colorimetric_file RC 0
  ARGS compare ${FILES}/spectra_lab_d65.txt ${FILES}/lab_d50.txt --format json
  JSON "summary.illuminant=CIE Illuminant D50=text")
# Without such a file, those the first file states: the reference's D65 over a sample that states none.
file(WRITE ${FILES}/spectra_d65.txt "${labHead}KEYWORD \"ILLUMINANT\"\nILLUMINANT \"D65\"\n"
  "BEGIN_DATA_FORMAT\nSampleID${nm}\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\nflat${values}\nEND_DATA\n")
tintvale_tool_test(conditions_of_the_first_file RC 0
  ARGS compare ${FILES}/spectra_d65.txt ${FILES}/black_spectrum.txt --format json
  JSON "summary.illuminant=CIE Illuminant D65=text")
# Without options the stated observer is used.
tintvale_tool_test(lab_stated_observer RC 0 ARGS lab ${FILES}/flat_columns.txt
  STDOUT "\nOBSERVER\t\"10 degree\"\n" "\nWEIGHTING_FUNCTION\t\"OBSERVER, 10 degree\"\n")
# Only the illuminant asked: the observer is still the stated one.
tintvale_tool_test(lab_stated_observer_asked_illuminant RC 0 ARGS lab ${FILES}/flat_columns.txt --illuminant "CIE Illuminant D50"
  STDOUT "\nOBSERVER\t\"10 degree\"\n")

# density: status standards need spectra; the colorimetric density says what it is; a sample
# without a density is missing on its row.
tintvale_tool_test(density_status_needs_spectra RC 2 ARGS density ${FILES}/white_xyz.txt --paper white
  STDERR "no spectra: ISO Status T densities need spectra; --standard colorimetric --paper SAMPLE gives log10 ratios of X, Y and Z to the paper's\n$")
tintvale_tool_test(density_colorimetric RC 0
  ARGS density ${FILES}/white_xyz.txt --paper white --standard colorimetric --format json
  JSON "settings.standard=colorimetric (log10 of paper X, Y, Z over sample X, Y, Z)=text" densities.0.C=0=0.00001)
tintvale_tool_test(density_missing_row RC 0 ARGS density ${FILES}/black_spectrum.txt --format json
  JSON densities.0.V=0.30103=0.0005 densities.1.dominant=missing=text settings.missing=1=0)

# Conditions in every output: the measurement-condition mismatch as a warnings list (JSON, CSV
# section), an error with --strict-conditions, and beside the verdict with both files' conditions.
tintvale_tool_test(conditions_warnings_json RC 0
  ARGS compare ${FILES}/display_M1.ti3 ${FILES}/display_M2.ti3 --format json
  JSON "warnings.0.warning=${FILES}/display_M1.ti3 and ${FILES}/display_M2.ti3 state different MEASUREMENT_CONDITION (\"M1\", \"M2\")=text")
tintvale_tool_test(conditions_warnings_csv RC 0
  ARGS compare ${FILES}/display_M1.ti3 ${FILES}/display_M2.ti3 --format csv --section warnings
  STDOUT "^warning\n[^\n]*state different MEASUREMENT_CONDITION [(]..M1.., ..M2..[)][^\n]*\n$")
tintvale_tool_test(conditions_strict RC 2 ARGS compare ${FILES}/display_M1.ti3 ${FILES}/display_M2.ti3 --strict-conditions
  STDOUT "^$" STDERR "state different MEASUREMENT_CONDITION [(].M1., .M2.[)] [(]--strict-conditions[)]\n$")
tintvale_tool_test(conditions_on_the_page RC 0
  ARGS report ${FILES}/display_M1.ti3 ${FILES}/display_M2.ti3 --max 1 -o -
  STDOUT "id=.verdict.[^>]*aria-label=.[A-Z]+.>.*</svg><ul class=.warnings. id=.warnings.><li>[^<]*state different MEASUREMENT_CONDITION"
         "data-key=.reference_conditions.><th>Reference states</th><td>D50, 2 degree observer [^<]*; measurement condition M1<"
         "data-key=.sample_conditions.><th>Sample states</th><td>[^<]*; measurement condition M2<")

# lab asked for D65 of D50 Lab: refused (the file would lie), or adapted and stated (Lab 50, 20, -30
# under D50 (CIE 15 white 96.422, 100, 82.521) to the shipped D65 white (95.0120638, 100,
# 108.8171473) by Bradford, NumPy 1.24 computed once as above: 50.25026, 22.91359, -29.81724).
tintvale_tool_test(lab_refuses_other_illuminant RC 2 ARGS lab ${FILES}/lab_d50.txt --illuminant "CIE Illuminant D65"
  STDERR "lab_d50[.]txt: its colorimetric data are under D50, 2 degree observer [^\n]*, not CIE Illuminant D65")
tintvale_tool_test(lab_adapts RC 0 ARGS lab ${FILES}/lab_d50.txt --illuminant "CIE Illuminant D65" --adapt bradford
  STDOUT "\nWEIGHTING_FUNCTION\t\"ILLUMINANT, CIE Illuminant D65\"\n" "\nc\t50[.]2502[0-9]*\t22[.]9135[0-9]*\t-29[.]8172[0-9]*\t?\n")
# average adapts the same Lab as the first column of files without sample names.
file(WRITE ${FILES}/lab_d50_unnamed.txt "CGATS.17\nBEGIN_DATA_FORMAT\nLAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\n"
  "BEGIN_DATA\n50 20 -30\nEND_DATA\n")
tintvale_tool_test(average_adapts_the_first_column RC 0
  ARGS average ${FILES}/lab_d50_unnamed.txt ${FILES}/lab_d50_unnamed.txt --illuminant "CIE Illuminant D65" --adapt bradford -o -
  STDOUT "\n50[.]2502[0-9]*\t22[.]9135[0-9]*\t-29[.]8172[0-9]*\t?\n")
tintvale_tool_test(density_other_illuminant RC 2
  ARGS density ${FILES}/white_xyz.txt --paper white --standard colorimetric --illuminant "CIE Illuminant D65"
  STDERR "white_xyz[.]txt: its colorimetric data are under D50, 2 degree observer [^\n]*, not CIE Illuminant D65")

# The page names the viewing of every appearance formula, the first of the list as well.
tintvale_tool_test(report_viewing_of_cam02_ucs RC 0 ARGS report ${FILES}/lab_d50.txt ${FILES}/lab_d50.txt --formula cam02-ucs -o -
  STDOUT "Colour differences by cam02-ucs [(]L_A 64 cd/m2, Y_b 20, average surround[)] from CIELAB")
