# Verdicts a user can trust: no silent pairing, no pass by construction, no file read in the wrong
# scale. Small files of our own with the features of what users meet.
set(cmykLab "CGATS.17\nKEYWORD\t\"SampleID\"\nNUMBER_OF_FIELDS\t8\nBEGIN_DATA_FORMAT\nSampleID\tCMYK_C\tCMYK_M\tCMYK_Y\tCMYK_K\tLAB_L\tLAB_A\tLAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t3\nBEGIN_DATA\n")
file(WRITE ${FILES}/avg_a.txt "${cmykLab}paper\t0\t0\t0\t0\t95\t0.1\t-2\nC100\t100\t0\t0\t0\t55\t-37\t-50\nK100\t0\t0\t0\t100\t16\t0\t0\nEND_DATA\n")
# The same patches in another order: averaged by name, paper with paper (a* (0.1 + 0.2) / 2 is
# 0.15, written without the 0.15000000000000002 of the binary sum).
file(WRITE ${FILES}/avg_reordered.txt "${cmykLab}K100\t0\t0\t0\t100\t18\t0\t0\npaper\t0\t0\t0\t0\t96\t0.2\t-2\nC100\t100\t0\t0\t0\t57\t-37\t-50\nEND_DATA\n")
file(WRITE ${FILES}/avg_extra.txt "${cmykLab}paper\t0\t0\t0\t0\t95\t0\t-2\nC100\t100\t0\t0\t0\t55\t-37\t-50\nK90\t0\t0\t0\t90\t20\t0\t0\nEND_DATA\n")
file(WRITE ${FILES}/avg_device.txt "${cmykLab}paper\t0\t0\t0\t0\t95\t0\t-2\nC100\t100\t0\t0\t0\t55\t-37\t-50\nK100\t0\t0\t100\t0\t16\t0\t0\nEND_DATA\n")
string(REPLACE "CGATS.17\n" "CGATS.17\nKEYWORD\t\"ILLUMINANT\"\nILLUMINANT\t\"D65\"\n" cmykLabD65 "${cmykLab}")
file(WRITE ${FILES}/avg_d65.txt "${cmykLabD65}paper\t0\t0\t0\t0\t95\t0\t-2\nC100\t100\t0\t0\t0\t55\t-37\t-50\nK100\t0\t0\t0\t100\t16\t0\t0\nEND_DATA\n")
# Without names, rows in another order are other patches: their device values differ.
set(unnamed "CGATS.17\nNUMBER_OF_FIELDS\t7\nBEGIN_DATA_FORMAT\nCMYK_C\tCMYK_M\tCMYK_Y\tCMYK_K\tLAB_L\tLAB_A\tLAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t2\nBEGIN_DATA\n")
file(WRITE ${FILES}/avg_unnamed.txt "${unnamed}0\t0\t0\t0\t95\t0\t-2\n100\t0\t0\t0\t55\t-37\t-50\nEND_DATA\n")
file(WRITE ${FILES}/avg_unnamed_swapped.txt "${unnamed}100\t0\t0\t0\t55\t-37\t-50\n0\t0\t0\t0\t95\t0\t-2\nEND_DATA\n")

tintvale_tool_test(average_by_name RC 0 ARGS average ${FILES}/avg_a.txt ${FILES}/avg_reordered.txt -o -
  STDOUT "\npaper\t0\t0\t0\t0\t95[.]5\t0[.]15\t-2\t?\n" "\nC100\t100\t0\t0\t0\t56\t-37\t-50\t?\n" "\nK100\t0\t0\t0\t100\t17\t0\t0\t?\n")
tintvale_tool_test(average_unpaired_name RC 2 ARGS average ${FILES}/avg_a.txt ${FILES}/avg_extra.txt -o ${WORK}/avg_never.txt
  STDERR "^tintvale: the files cannot be averaged: Sample .K100. has no partner of that name in every file[.] [(]code 1[)]\n$"
  ABSENT ${WORK}/avg_never.txt)
tintvale_tool_test(average_device_differs RC 2 ARGS average ${FILES}/avg_a.txt ${FILES}/avg_device.txt -o -
  STDOUT "^$" STDERR "Sample .K100.: field CMYK_Y differs between the files[.] [(]code 1[)]\n$")
tintvale_tool_test(average_unnamed_order RC 2 ARGS average ${FILES}/avg_unnamed.txt ${FILES}/avg_unnamed_swapped.txt -o -
  STDOUT "^$" STDERR "Sample .1.: field CMYK_C differs between the files[.]")
tintvale_tool_test(average_conditions RC 2 ARGS average ${FILES}/avg_a.txt ${FILES}/avg_d65.txt -o -
  STDOUT "^$" STDERR "The files state different illuminants [(]D50, D65[)][.] [(]code 1[)]\n$")
# With --adapt the D65 Lab is adapted to the first file's D50 first: C100 55, -37, -50 under D65
# (CIE 15 white) by Bradford to the shipped D50 white is 53.98520, -48.35630, -51.53793 (NumPy
# 1.24, computed once as in conditions_tests.cmake), averaged with 55, -37, -50. A file that only
# declares one keyword more (ILLUMINANT) has the same table.
tintvale_tool_test(average_adapted RC 0 ARGS average ${FILES}/avg_a.txt ${FILES}/avg_d65.txt --adapt bradford -o -
  STDOUT "\nC100\t100\t0\t0\t0\t54[.]49260[0-9]*\t-42[.]67814[0-9]*\t-50[.]76896[0-9]*\t?\n")
string(REPLACE "CGATS.17\n" "CGATS.17\nKEYWORD\t\"ILLUMINANT\"\nILLUMINANT\t\"D50\"\n" cmykLabD50 "${cmykLab}")
file(WRITE ${FILES}/avg_d50_stated.txt "${cmykLabD50}paper\t0\t0\t0\t0\t95\t0.1\t-2\nC100\t100\t0\t0\t0\t55\t-37\t-50\nK100\t0\t0\t0\t100\t16\t0\t0\nEND_DATA\n")
tintvale_tool_test(average_declarations RC 0 ARGS average ${FILES}/avg_a.txt ${FILES}/avg_d50_stated.txt -o /dev/null)

# compare: a sample patch without a partner is named in every output.
string(REPLACE "NUMBER_OF_SETS\t3" "NUMBER_OF_SETS\t2" cmykLab2 "${cmykLab}")
file(WRITE ${FILES}/avg_two.txt "${cmykLab2}paper\t0\t0\t0\t0\t95\t0.1\t-2\nC100\t100\t0\t0\t0\t55\t-37\t-50\nEND_DATA\n")
tintvale_tool_test(compare_unmatched_json RC 0 ARGS compare ${FILES}/avg_two.txt ${FILES}/avg_a.txt --format json --table 0
  JSON unmatched.0.sample=K100=text
  STDERR "^tintvale: warning: [^\n]*avg_a[.]txt: 1 sample without a partner in the reference, not compared: K100\n$")
tintvale_tool_test(compare_unmatched_table RC 0 ARGS compare ${FILES}/avg_two.txt ${FILES}/avg_a.txt
  STDOUT "\nwarning\n[^\n]*without a partner in the reference, not compared: K100\n$")
tintvale_tool_test(compare_unmatched_csv RC 0 ARGS compare ${FILES}/avg_two.txt ${FILES}/avg_a.txt --format csv --section warnings
  STDOUT "^warning\n[^\n]*not compared: K100\"?\n$")
# With a tolerance, one file's JSON carries the verdict.
tintvale_tool_test(compare_verdict RC 1 ARGS compare ${FILES}/avg_a.txt ${FILES}/avg_reordered.txt --max 1 --format json
  JSON summary.verdict=fail=text summary.over_tolerance=2=0)

# Conditions: letter case does not make a difference; stating nothing against M0 does.
string(REPLACE "CGATS.17\n" "CGATS.17\nMEASUREMENT_CONDITION\t\"M0\"\n" cmykLabM0 "${cmykLab}")
string(REPLACE "CGATS.17\n" "CGATS.17\nMEASUREMENT_CONDITION\t\"m0\"\n" cmykLabm0 "${cmykLab}")
set(rows "paper\t0\t0\t0\t0\t95\t0\t-2\nC100\t100\t0\t0\t0\t55\t-37\t-50\nK100\t0\t0\t0\t100\t16\t0\t0\nEND_DATA\n")
file(WRITE ${FILES}/cond_M0.txt "${cmykLabM0}${rows}")
file(WRITE ${FILES}/cond_m0_lower.txt "${cmykLabm0}${rows}")
tintvale_tool_test(conditions_letter_case RC 0 ARGS compare ${FILES}/cond_M0.txt ${FILES}/cond_m0_lower.txt --strict-conditions
  STDERR "^$")
tintvale_tool_test(conditions_unstated RC 0 ARGS compare ${FILES}/cond_M0.txt ${FILES}/avg_a.txt --format json
  JSON "warnings.0.warning=${FILES}/avg_a.txt states no MEASUREMENT_CONDITION but ${FILES}/cond_M0.txt states \"M0\"=text")
tintvale_tool_test(conditions_unstated_strict RC 2 ARGS compare ${FILES}/cond_M0.txt ${FILES}/avg_a.txt --strict-conditions
  STDOUT "^$" STDERR "avg_a[.]txt states no MEASUREMENT_CONDITION but [^\n]*cond_M0[.]txt states .M0. [(]--strict-conditions[)]\n$")
tintvale_tool_test(average_condition_case RC 0 ARGS average ${FILES}/cond_M0.txt ${FILES}/cond_m0_lower.txt -o /dev/null)

# Tolerance sets: a typo is an error in one line, never a silent pass.
foreach(bad "names;names:C100,nothere;no patch named .nothere. in"
            "twice;names:C100,C100;names .C100. twice"
            "channel;solids:Z;unknown channel .Z.")
  list(GET bad 0 what)
  list(GET bad 1 role)
  list(GET bad 2 message)
  file(WRITE ${FILES}/set_typo_${what}.json "{\"name\": \"typo\", \"groups\": [{\"name\": \"g\", \"select\": \"${role}\", \"metric\": \"dE\", \"max\": {\"fail\": 50}}]}")
  tintvale_tool_test(tolerances_typo_${what} RC 2
    ARGS compare ${FILES}/avg_a.txt ${FILES}/avg_reordered.txt --tolerances ${FILES}/set_typo_${what}.json
    STDOUT "^$" STDERR "^tintvale: [^\n]*${message}[^\n]*\n$")
endforeach()
file(WRITE ${FILES}/set_typo_group.json "{\"name\": \"typo\", \"groups\": [{\"name\": \"g\", \"select\": \"all\", \"metric\": \"dE\", \"max\": {\"fail\": 50}}, {\"name\": \"g\", \"select\": \"paper\", \"metric\": \"dE\", \"max\": {\"fail\": 50}}]}")
tintvale_tool_test(tolerances_typo_group RC 2
  ARGS compare ${FILES}/avg_a.txt ${FILES}/avg_reordered.txt --tolerances ${FILES}/set_typo_group.json
  STDOUT "^$" STDERR "^tintvale: [^\n]*set_typo_group[.]json: two groups named .g.\n$")
# solids:1 is a channel name, but this chart's channels are C, M, Y, K.
file(WRITE ${FILES}/set_no_channel.json "{\"name\": \"n\", \"groups\": [{\"name\": \"g\", \"select\": \"tints:1\", \"metric\": \"dE\", \"max\": {\"fail\": 50}}]}")
tintvale_tool_test(tolerances_channel_absent RC 2
  ARGS compare ${FILES}/avg_a.txt ${FILES}/avg_reordered.txt --tolerances ${FILES}/set_no_channel.json
  STDERR "^tintvale: [^\n]*set_no_channel[.]json: group .g.: role .tints:1.: no channel .1. in [^\n]*avg_a[.]txt\n$")

# Paper groups under --paper-relative are judged as measured: the paper's absolute Delta E 2000
# of avg_a against avg_reordered (Lab 95, 0.1, -2 and 96, 0.2, -2) is 0.6135 (computed once with a
# plain Python transcription of Sharma, Wu and Dalal 2005, which gives their 34 published pairs
# within 5e-5), not the 0 that relative colorimetry makes of every paper.
file(WRITE ${FILES}/set_paper.json "{\"name\": \"paper\", \"groups\": [{\"name\": \"paper\", \"select\": \"paper\", \"metric\": \"dE\", \"max\": {\"fail\": 0.5}}]}")
tintvale_tool_test(paper_group_absolute RC 1
  ARGS compare ${FILES}/avg_a.txt ${FILES}/avg_reordered.txt --tolerances ${FILES}/set_paper.json --paper-relative --format json
  JSON samples.0.dE=0=0.0001 tolerances.groups.0.max=0.6135=0.0005 tolerances.groups.0.verdict=fail=text
       "tolerances.note=paper groups judged on absolute CIELAB: relative to its own paper, every paper is the same white=text")

# Batch: each file's entry says why it failed; the summary names the reference.
tintvale_tool_test(batch_tolerances RC 1
  ARGS compare ${FILES}/avg_a.txt ${FILES}/avg_reordered.txt ${FILES}/avg_a.txt --tolerances ${FILES}/set_paper.json --format json
  JSON "summary.reference=${FILES}/avg_a.txt=text" files.0.tolerances.verdict=fail=text
       files.0.tolerances.groups.0.max=0.6135=0.0005 files.1.tolerances.groups.0.max=0=0 files.0.summary.verdict=fail=text)
tintvale_tool_test(jobs_zero RC 2 ARGS compare ${FILES}/avg_a.txt ${FILES}/avg_a.txt --jobs 0
  STDERR "^tintvale: --jobs: must be 1 or more [(]see tintvale --help[)]\n$")

# Reading: a NUMBER_OF_FIELDS that disagrees with the names is read by the names when every row
# holds as many values as names (a warning naming the line), else refused with code 12.
set(countHead "CGATS.17\nNUMBER_OF_FIELDS\t5\nBEGIN_DATA_FORMAT\nSAMPLE_ID\tLAB_L\tLAB_A\tLAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t2\nBEGIN_DATA\n")
file(WRITE ${FILES}/count_names.txt "${countHead}1\t50\t0\t0\n2\t60\t1\t1\nEND_DATA\n")
file(WRITE ${FILES}/count_rows.txt "${countHead}1\t50\t0\t0\t7\n2\t60\t1\t1\t7\nEND_DATA\n")
tintvale_tool_test(field_count_by_names RC 0 ARGS info ${FILES}/count_names.txt
  STDOUT "\n +0 +2 +4 " STDERR "^tintvale: warning: [^\n]*count_names[.]txt:2: NUMBER_OF_FIELDS 5 but 4 field names, and the data hold rows of 4 values: read by the names\n")
tintvale_tool_test(field_count_refused RC 2 ARGS info ${FILES}/count_rows.txt
  STDERR "count_rows[.]txt:2: Number of header fields found doesn't match number of header fields declared[.] [(]code 12[)]\n$")

# A SPECT file of factors without SPECTRAL_NORM (as other writers make them) is read as factors:
# a flat 0.5 is L* = 116 * 0.5^(1/3) - 16 = 76.0693 (CIE 15:2004, 8.2.1). Spectra that all read
# below 1 % are named as a probable scale mistake.
set(spect "SPECT\nKEYWORD\t\"SPECTRAL_BANDS\"\nSPECTRAL_BANDS\t36\nKEYWORD\t\"SPECTRAL_START_NM\"\nSPECTRAL_START_NM\t380\nKEYWORD\t\"SPECTRAL_END_NM\"\nSPECTRAL_END_NM\t730\nNUMBER_OF_FIELDS\t37\nBEGIN_DATA_FORMAT\nSAMPLE_ID")
set(half "")
set(dark "")
foreach(w RANGE 380 730 10)
  string(APPEND spect "\tSPEC_${w}")
  string(APPEND half "\t0.5")
  string(APPEND dark "\t0.004")
endforeach()
string(APPEND spect "\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t1\nBEGIN_DATA\n")
file(WRITE ${FILES}/spect_factors.sp "${spect}half${half}\nEND_DATA\n")
file(WRITE ${FILES}/spect_dark.sp "${spect}dark${dark}\nEND_DATA\n")
tintvale_tool_test(spect_factors RC 0 ARGS compare ${FILES}/spect_factors.sp ${FILES}/spect_factors.sp --format json
  JSON samples.0.ref_L=76.0693=0.0005 STDERR "^$")
tintvale_tool_test(spect_scale_warning RC 0 ARGS compare ${FILES}/spect_dark.sp ${FILES}/spect_dark.sp
  STDERR "spect_dark[.]sp: table 0: every spectral value read as factors lies below 1 %, so the scale may be wrong")

# convert --to argyll names a CMYK chart of spectra CMYK_XYZ, which ArgyllCMS accepts.
tintvale_tool_test(convert_argyll_cmyk RC 0 ARGS convert ${STRIP_REF} --to argyll -o -
  STDOUT "\nCOLOR_REP\t\"CMYK_XYZ\"\n")

# tvi: black through the visual filter unless asked otherwise.
tintvale_tool_test(tvi_black_visual RC 0 ARGS tvi ${STRIP_REF} --format json
  JSON channels.3.name=K=text channels.3.filter=V=text black_filter=visual=text channels.0.filter=C=text)
tintvale_tool_test(tvi_black_densest RC 0 ARGS tvi ${STRIP_REF} --black-filter densest --format csv
  STDOUT "\nK,[CMY],K25,")

# Delta H* takes the sign of the hue turn: from 20, -1 to 19, -3 the hue turns clockwise. By hand:
# Delta C* = sqrt(370) - sqrt(401) = -0.789600, |Delta H*| = sqrt(1 + 4 - Delta C*^2) = 2.092016.
foreach(side "hue_ref;20;-1" "hue_smp;19;-3")
  list(GET side 0 name)
  list(GET side 1 a)
  list(GET side 2 b)
  file(WRITE ${FILES}/${name}.txt "CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\n"
    "NUMBER_OF_SETS 1\nBEGIN_DATA\np 50 ${a} ${b}\nEND_DATA\n")
endforeach()
tintvale_tool_test(hue_turned_clockwise RC 0 ARGS compare ${FILES}/hue_ref.txt ${FILES}/hue_smp.txt --format json
  JSON samples.0.dC=-0.789600=1e-6 samples.0.dH=-2.092016=1e-6)
