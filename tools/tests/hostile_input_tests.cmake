# Input that looks like data but is none: each refused in one line that names it, exit status 2.
set(hostileHead "CGATS.17\nKEYWORD \"SampleID\"\nBEGIN_DATA_FORMAT\nSampleID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L LAB_A LAB_B\n")
string(APPEND hostileHead "END_DATA_FORMAT\nNUMBER_OF_SETS 3\nBEGIN_DATA\n")
# A "paper" at L* 0.5 (Y 0.055 of 100) would scale every colour by 1800 to make it white.
file(WRITE ${FILES}/black_paper.txt "${hostileHead}paper 0 0 0 0 0.5 0 0\nC100 100 0 0 0 55 -37 -50\n"
  "C50 50 0 0 0 75 -20 -25\nEND_DATA\n")
# A cyan solid measured as the paper: no range to place the tint in.
file(WRITE ${FILES}/solid_as_paper.txt "${hostileHead}paper 0 0 0 0 95 0 -2\nC100 100 0 0 0 95 0 -2\n"
  "C50 50 0 0 0 75 -20 -25\nEND_DATA\n")
# A device value "nan" reads as a number but selects no role: refused, naming its sample.
file(WRITE ${FILES}/nan_device.txt "${hostileHead}paper 0 0 0 0 95 0 0\nC100 nan 0 0 0 55 -37 -50\n"
  "C50 50 0 0 0 75 -20 -25\nEND_DATA\n")
tintvale_tool_test(device_value_nan RC 2 ARGS compare ${FILES}/nan_device.txt ${FILES}/nan_device.txt
  --tolerances ${FILES}/set_greys.json STDOUT "^$" STDERR "nan_device[.]txt: sample 2 has a device value that is not a number\n$")
tintvale_tool_test(paper_relative_black_paper RC 2
  ARGS compare ${FILES}/black_paper.txt ${FILES}/solid_as_paper.txt --paper-relative
  STDOUT "^$" STDERR "^tintvale: [^\n]*black_paper[.]txt: --paper-relative: the paper white is not a positive XYZ of L[*] 1 or more\n$")
tintvale_tool_test(sctv_black_paper RC 2 ARGS tvi ${FILES}/black_paper.txt --method sctv
  STDOUT "^$" STDERR "^tintvale: [^\n]*black_paper[.]txt: the paper is not a positive XYZ of L[*] 1 or more")
tintvale_tool_test(sctv_solid_as_paper RC 2 ARGS tvi ${FILES}/solid_as_paper.txt --method sctv
  STDOUT "^$" STDERR "^tintvale: [^\n]*solid_as_paper[.]txt: the solid of channel C does not differ from the paper\n$")

# ArgyllCMS reads neither "nan" nor a single band.
file(WRITE ${FILES}/nan_spectrum.txt "CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID nm400 nm410\nEND_DATA_FORMAT\n"
  "NUMBER_OF_SETS 2\nBEGIN_DATA\na 0.5 0.5\nb nan 0.5\nEND_DATA\n")
file(WRITE ${FILES}/one_band.txt "CGATS.17\nBEGIN_DATA_FORMAT\nSAMPLE_ID nm550\nEND_DATA_FORMAT\n"
  "NUMBER_OF_SETS 2\nBEGIN_DATA\na 0.5\nb 0.25\nEND_DATA\n")
tintvale_tool_test(convert_argyll_nan RC 2 ARGS convert ${FILES}/nan_spectrum.txt --to argyll -o ${WORK}/never_nan.ti3
  STDERR "^tintvale: [^\n]*Field nm400 of sample 2 is not a finite number, which ArgyllCMS cannot read[.] [(]code 30[)]\n$"
  ABSENT ${WORK}/never_nan.ti3)
tintvale_tool_test(convert_argyll_one_band RC 2 ARGS convert ${FILES}/one_band.txt --to argyll -o -
  STDOUT "^$" STDERR "at least two bands[^\n]*[(]code 30[)]\n$")

# Tolerance sets: a key given twice, a set over 1 MB (refused by its size before it is read), and
# a key whose control characters are shown, not obeyed, on the one error line.
set(strip ${CMAKE_CURRENT_SOURCE_DIR}/tests/data/control_strip_reference.txt)
file(WRITE ${FILES}/set_twice.json "{\"name\": \"twice\", \"groups\": [{\"name\": \"g\", \"select\": \"all\", \"metric\": \"dE\", \"max\": {\"fail\": 0.01, \"fail\": 100}}]}")
tintvale_tool_test(tolerances_duplicate_key RC 2 ARGS compare ${strip} ${strip} --tolerances ${FILES}/set_twice.json
  STDOUT "^$" STDERR "^tintvale: [^\n]*set_twice[.]json: the key .fail. is given twice in one object\n$")
string(REPEAT " " 1048577 padding)
file(WRITE ${FILES}/set_large.json "{\"name\": \"large\"${padding}}")
tintvale_tool_test(tolerances_over_1mb RC 2 ARGS compare ${strip} ${strip} --tolerances ${FILES}/set_large.json
  STDOUT "^$" STDERR "^tintvale: [^\n]*set_large[.]json: 10485[0-9][0-9] bytes, over the 1048576 a tolerance set may hold\n$")
file(WRITE ${FILES}/set_escape.json "{\"name\": \"e\", \"\\u001b[31mred\\r\\nx\\u0007\": 1, \"groups\": []}")
tintvale_tool_test(tolerances_key_controls_shown RC 2 ARGS compare ${strip} ${strip} --tolerances ${FILES}/set_escape.json
  STDERR "^tintvale: [^\n]*unknown key .[^\n]x1b.31mred.x0d.x0ax.x07. [^\n]*\n$")

# A batch's CSV is UTF-8 on one line per file whatever bytes a file name holds.
add_test(NAME tool_batch_csv_file_names COMMAND sh -c
  "dir=$(mktemp -d) && name=$(printf 'bad\\033[31m\\377\\r.txt') && cp \"$1\" \"$dir/$name\" && \"$0\" compare \"$1\" \"$1\" \"$dir/$name\" --format csv --section files > \"$dir/out.csv\"; rc=$?; python3 -c 'import sys; t = open(sys.argv[1], \"rb\").read().decode(\"utf-8\"); assert \"bad\\\\x1b[31m\\\\xff\\\\x0d.txt,\" in t and t.count(\"\\n\") == 3, t' \"$dir/out.csv\" && test $rc -eq 0; s=$?; rm -rf \"$dir\"; exit $s"
  $<TARGET_FILE:tintvale_tool> ${strip})

# A stated white the library refuses (a lamp without blue: Z = 0) gives the tool's one line, not the
# library's own message before it. (red_lamp.ill: 100 from 660 to 730 nm, 0 below, made with
# tintvale.IlluminantFactory.)
file(MAKE_DIRECTORY ${WORK}/lamp_illuminants)
file(COPY ${ILLUMINANTS}/CIE_Illuminant_D50.ill ${CMAKE_CURRENT_SOURCE_DIR}/tests/data/red_lamp.ill
  DESTINATION ${WORK}/lamp_illuminants)
file(WRITE ${FILES}/lab_red_lamp.txt "CGATS.17\nKEYWORD \"ILLUMINANT\"\nILLUMINANT \"red lamp\"\n"
  "BEGIN_DATA_FORMAT\nSampleID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\nc 50 20 -30\nEND_DATA\n")
tintvale_tool_test(adapt_from_unusable_white RC 2
  ARGS compare ${FILES}/lab_d50.txt ${FILES}/lab_red_lamp.txt --illuminants ${WORK}/lamp_illuminants --adapt bradford
  STDOUT "^$" STDERR "^tintvale: [^\n]*lab_red_lamp[.]txt: its data cannot be adapted from red lamp, 2 degree observer to CIE Illuminant D50, 2 degree observer\n$")
