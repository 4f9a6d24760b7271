# Writes the measurement data files the tool's tests read, into ${TOOL_TEST_DIR}:
#   sharma_reference.txt, sharma_sample.txt  Lab files of the 34 CIEDE2000 test pairs of Sharma, Wu
#                                           and Dalal (2005); the sample file in reverse order
#   sharma_sample_ordered.txt               the second colours in the reference's order
#   white_xyz.txt, white_lab.txt            the perfect white as XYZ (D50, 2 degree, Y = 100) and Lab
#   escape_name.txt                         one sample whose name holds a terminal escape sequence
#   overflow_*.txt                          two samples, the second of the sample file beyond any
#                                           colour difference
#   short_lab.txt                           three unnamed Lab samples
#   malformed.txt                           a data format section that never ends
#   no_colour.txt                           names and CMYK tints only
#   empty.txt                               nothing at all
#   two_tables.txt                          a Lab table of one sample, an XYZ table of two (the
#                                           white and half of it)
#   display_m1.ti3, display_m2.ti3          instrument-software style: the white as Lab named by a
#                                           SAMPLE_ID column (M1 or M2), then a calibration table
file(MAKE_DIRECTORY ${TOOL_TEST_DIR})

function(lab_file path names rows)
  list(LENGTH rows n)
  set(text "CGATS.17\nORIGINATOR \"tintvale tests\"\nKEYWORD \"SampleID\"\nNUMBER_OF_FIELDS 4\n")
  string(APPEND text "BEGIN_DATA_FORMAT\nSampleID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\n")
  string(APPEND text "NUMBER_OF_SETS ${n}\nBEGIN_DATA\n")
  foreach(name row IN ZIP_LISTS names rows)
    string(REPLACE "," " " row "${row}")
    string(APPEND text "${name} ${row}\n")
  endforeach()
  string(APPEND text "END_DATA\n")
  file(WRITE ${path} "${text}")
endfunction()

file(STRINGS ${SHARMA_CSV} lines)
list(REMOVE_AT lines 0)
set(names)
set(first)
set(second)
set(i 0)
foreach(line IN LISTS lines)
  math(EXPR i "${i} + 1")
  string(REPLACE "," ";" v "${line}")
  list(SUBLIST v 0 3 a)
  list(SUBLIST v 3 3 b)
  string(REPLACE ";" "," a "${a}")
  string(REPLACE ";" "," b "${b}")
  list(APPEND names pair${i})
  list(APPEND first "${a}")
  list(APPEND second "${b}")
endforeach()
lab_file(${TOOL_TEST_DIR}/sharma_reference.txt "${names}" "${first}")
lab_file(${TOOL_TEST_DIR}/sharma_sample_ordered.txt "${names}" "${second}")
list(REVERSE names)
list(REVERSE second)
lab_file(${TOOL_TEST_DIR}/sharma_sample.txt "${names}" "${second}")
lab_file(${TOOL_TEST_DIR}/white_lab.txt "white" "100,0,0")
string(ASCII 27 escape)
lab_file(${TOOL_TEST_DIR}/escape_name.txt "red${escape}[31m" "50,0,0")
lab_file(${TOOL_TEST_DIR}/overflow_reference.txt "a;b" "50,0,0;60,0,0")
lab_file(${TOOL_TEST_DIR}/overflow_sample.txt "a;b" "50,1,0;1e308,0,0")

# The white of CIE illuminant D50 and the 2 degree observer integrated over 380-730 nm at 10 nm.
file(WRITE ${TOOL_TEST_DIR}/white_xyz.txt "CGATS.17\nKEYWORD \"SampleID\"\nNUMBER_OF_FIELDS 4\n"
  "BEGIN_DATA_FORMAT\nSampleID XYZ_X XYZ_Y XYZ_Z\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\n"
  "BEGIN_DATA\nwhite 96.3841 100.0 82.4535\nEND_DATA\n")
file(WRITE ${TOOL_TEST_DIR}/short_lab.txt "CGATS.17\nNUMBER_OF_FIELDS 3\n"
  "BEGIN_DATA_FORMAT\nLAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 3\n"
  "BEGIN_DATA\n50 0 0\n60 10 10\n70 -10 5\nEND_DATA\n")
file(WRITE ${TOOL_TEST_DIR}/malformed.txt "CGATS.17\nNUMBER_OF_FIELDS 3\n"
  "BEGIN_DATA_FORMAT\nLAB_L LAB_A LAB_B\nNUMBER_OF_SETS 1\nBEGIN_DATA\n50 0 0\nEND_DATA\n")
file(WRITE ${TOOL_TEST_DIR}/no_colour.txt "CGATS.17\nKEYWORD \"SampleID\"\nNUMBER_OF_FIELDS 5\n"
  "BEGIN_DATA_FORMAT\nSampleID CMYK_C CMYK_M CMYK_Y CMYK_K\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\n"
  "BEGIN_DATA\npaper 0 0 0 0\ncyan 100 0 0 0\nEND_DATA\n")
file(WRITE ${TOOL_TEST_DIR}/empty.txt "")
file(WRITE ${TOOL_TEST_DIR}/two_tables.txt "CGATS.17\nNUMBER_OF_FIELDS 3\n"
  "BEGIN_DATA_FORMAT\nLAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\n"
  "BEGIN_DATA\n50 0 0\nEND_DATA\n"
  "NUMBER_OF_FIELDS 3\n"
  "BEGIN_DATA_FORMAT\nXYZ_X XYZ_Y XYZ_Z\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\n"
  "BEGIN_DATA\n96.3841 100.0 82.4535\n48.19205 50.0 41.22675\nEND_DATA\n")
foreach(condition M1 M2)
  file(WRITE ${TOOL_TEST_DIR}/display_${condition}.ti3 "CTI3\n\nKEYWORD \"DEVICE_CLASS\"\nDEVICE_CLASS \"DISPLAY\"\n"
    "MEASUREMENT_CONDITION \"${condition}\"\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\n"
    "END_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\nwhite 100 0 0\nEND_DATA\n\nCAL\n\n"
    "NUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nRGB_I RGB_R RGB_G RGB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\n"
    "BEGIN_DATA\n0 0 0 0\n1 1 1 1\nEND_DATA\n")
endforeach()

# CIELAB (D50, 2 degree) of the three spectra of tests/data/fine_5nm.ti3 and fine_3nm.ti3 (0.05 + 0.8 /
# (1 + exp(-(l - 600) / 12)), 0.04 + 0.55 exp(-((l - 455) / 18)^2), 0.06 - 0.03 / (1 + exp(-(l - 620) / 10))
# + 0.42 exp(-((l - 528) / 14)^2), four decimals): NumPy over the CIE 5-nm tables, run once, the values
# interpolated to 380, 385, ..., 780 nm (flat beyond the measured range) and summed with k = 100 / sum(S ybar),
# Lab relative to the perfect diffuser under the same sums.
lab_file(${TOOL_TEST_DIR}/fine_5nm_lab.txt "red;blue;green" "52.787,62.313,44.811;26.206,35.291,-63.126;43.862,-52.549,22.029")
# The writer's Lab of tests/data/astm_10nm_d50.txt (10-nm spectra of our own, 380-780 nm): ASTM E308 weights
# for D50 and 2 degrees computed by ASTM E2022 in a Python implementation of our own, run once (it reproduces
# colour-science's sd_to_XYZ_ASTME308 results to 1e-8), Lab relative to the sum of the weights.
lab_file(${TOOL_TEST_DIR}/astm_10nm_lab.txt "red;blue;line610;notch550;step600;grey"
  "52.789,62.304,44.812;26.204,35.250,-63.083;63.261,7.087,2.768;79.418,5.779,-4.129;54.281,55.704,28.313;75.207,0.854,2.249")
lab_file(${TOOL_TEST_DIR}/fine_3nm_lab.txt "red;blue;green" "52.793,62.289,44.822;26.209,35.232,-63.079;43.857,-52.506,22.013")

# A lamp of one's own known only at 10 nm, 380 ... 730 nm (text illuminant file).
file(MAKE_DIRECTORY ${TOOL_TEST_DIR}/lamp10)
set(wl)
set(power)
foreach(i RANGE 35)
  math(EXPR nm "380 + 10 * ${i}")
  math(EXPR p "50 + ${i}")
  string(APPEND wl " ${nm}")
  string(APPEND power " ${p}")
endforeach()
file(WRITE ${TOOL_TEST_DIR}/lamp10/lamp.ill "ORVITEXTlamp\n36${wl}${power}\n")
