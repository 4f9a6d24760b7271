# CxF3 files: a reference written here as CxF3 (Lab under D50/2 degree, measured M1, CMYK device
# values, Location tags) compared with a CGATS sample whose differences are exact (see the Lab
# strips: dL of the solids 2, 1, 0.5, 2.5, mean 1.5); conversions to and from CxF3.
file(MAKE_DIRECTORY ${WORK}/cxf)
set(CXF_DIR ${WORK}/cxf)
function(cxf_object id cmyk lab out)
  string(REPLACE " " ";" c "${cmyk}")
  string(REPLACE " " ";" l "${lab}")
  list(GET c 0 cc)
  list(GET c 1 cm)
  list(GET c 2 cy)
  list(GET c 3 ck)
  list(GET l 0 ll)
  list(GET l 1 la)
  list(GET l 2 lb)
  set(${out} "${${out}}<ns0:Object ObjectType=\"Standard\" Name=\"${id}\" Id=\"${id}\"><ns0:CreationDate>2024-05-01T08:00:00Z</ns0:CreationDate>
<ns0:ColorValues><ns0:ColorCIELab ColorSpecification=\"D50_M1\"><ns0:L>${ll}</ns0:L><ns0:A>${la}</ns0:A><ns0:B>${lb}</ns0:B></ns0:ColorCIELab></ns0:ColorValues>
<ns0:DeviceColorValues><ns0:ColorCMYK ColorSpecification=\"D50_M1\"><ns0:Cyan>${cc}</ns0:Cyan><ns0:Magenta>${cm}</ns0:Magenta><ns0:Yellow>${cy}</ns0:Yellow><ns0:Black>${ck}</ns0:Black></ns0:ColorCMYK></ns0:DeviceColorValues>
<ns0:TagCollection Name=\"Location\"><ns0:Tag Name=\"Page\" Value=\"1\"/></ns0:TagCollection></ns0:Object>\n" PARENT_SCOPE)
endfunction()
set(objects)
cxf_object(paper "0 0 0 0" "95 0 -2" objects)
cxf_object(C100 "100 0 0 0" "55 -37 -50" objects)
cxf_object(M100 "0 100 0 0" "48 74 -3" objects)
cxf_object(Y100 "0 0 100 0" "89 -5 93" objects)
cxf_object(K100 "0 0 0 100" "16 0 0" objects)
cxf_object(grey50 "50 40 40 0" "58 0 0" objects)
file(WRITE ${CXF_DIR}/strip_lab_ref.cxf "<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<ns0:CxF xmlns:ns0=\"http://colorexchangeformat.com/CxF3-core\">
<ns0:FileInformation><ns0:Creator>Ink kitchen</ns0:Creator><ns0:Description>strip reference</ns0:Description></ns0:FileInformation>
<ns0:Resources><ns0:ObjectCollection>
${objects}</ns0:ObjectCollection>
<ns0:ColorSpecificationCollection><ns0:ColorSpecification Id=\"D50_M1\"><ns0:TristimulusSpec><ns0:Illuminant>D50</ns0:Illuminant>
<ns0:Observer>2_Degree</ns0:Observer><ns0:Method>E308_Table5</ns0:Method></ns0:TristimulusSpec><ns0:MeasurementSpec>
<ns0:MeasurementType>Colorimetric_Reflectance</ns0:MeasurementType><ns0:GeometryChoice><ns0:UnknownGeometry>45/0</ns0:UnknownGeometry></ns0:GeometryChoice>
<ns0:Device><ns0:Model>Spectro 1</ns0:Model><ns0:DeviceIllumination>M1_Daylight</ns0:DeviceIllumination></ns0:Device></ns0:MeasurementSpec></ns0:ColorSpecification>
</ns0:ColorSpecificationCollection></ns0:Resources></ns0:CxF>\n")

tintvale_tool_test(cxf_compare_with_cgats RC 0
  ARGS compare ${CXF_DIR}/strip_lab_ref.cxf ${FILES}/strip_lab_smp.txt --tolerances ${FILES}/set_boundaries.json --format json
  STDERR "^tintvale: warning: tolerance group .no tints. [(]tints:C[)] selects no patch\ntintvale: warning: [^\n]*strip_lab_smp.txt states no MEASUREMENT_CONDITION but [^\n]*strip_lab_ref.cxf states .M1.\n$"
  JSON summary.samples=6=0 tolerances.groups.0.count=4=0 tolerances.groups.0.max=2.5=0 tolerances.groups.0.mean=1.5=0
       tolerances.groups.0.verdict=pass=text)
tintvale_tool_test(cxf_report RC 0
  ARGS report ${CXF_DIR}/strip_lab_ref.cxf ${FILES}/strip_lab_smp.txt --max 3 -o -
  STDOUT "data-key=.reference_conditions.><th>Reference states</th><td>D50, 2 degree observer[^<]*; measurement condition M1<"
         "data-key=.reference_source.><th>Reference file</th><td>created by Ink kitchen; strip reference; instrument Spectro 1; object types Standard<")
tintvale_tool_test(cxf_info RC 0 ARGS info ${CXF_DIR}/strip_lab_ref.cxf
  STDOUT "\ncreator: +Ink kitchen\n" "\ndescription: +strip reference\n"
         "\nconditions, table 0: +ILLUMINANT, D50; OBSERVER, 2 degree; INTEGRATION, ASTM E308 Table 5; M1; Spectro 1\n" "\nobject types: +Standard\n")
tintvale_tool_test(cxf_to_cgats RC 0 ARGS convert ${CXF_DIR}/strip_lab_ref.cxf --to cgats -o -
  STDOUT "^CGATS[.]17\n" "\nMEASUREMENT_CONDITION\t\"M1\"\n" "\nK100\tK100\tStandard\t2024-05-01T08:00:00Z\t0\t0\t0\t100\t16\t0\t0\t1\t?\n")
tintvale_tool_test(cxf_to_argyll RC 0 ARGS convert ${CXF_DIR}/strip_lab_ref.cxf --to argyll -o -
  STDOUT "^CTI3\n" "\nCOLOR_REP\t\"?CMYK_LAB\"?\n")
# A document that ends inside an element is refused at the element left open.
file(WRITE ${CXF_DIR}/broken.cxf "<?xml version=\"1.0\"?>\n<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\">\n<cc:Resources>\n")
tintvale_tool_test(cxf_broken RC 2 ARGS info ${CXF_DIR}/broken.cxf STDERR "broken[.]cxf:3: CxF3: not well-formed XML")

# Written CxF3 validates against the core schema (where xmllint and the schema are at hand) and
# compares like the CGATS file it was written from.
tintvale_tool_test(cxf_convert_strip RC 0 ARGS convert ${STRIP_REF} --to cxf -o ${CXF_DIR}/control_strip_reference.cxf)
set_tests_properties(tool_cxf_convert_strip PROPERTIES FIXTURES_SETUP cxf_strip)
find_program(XMLLINT xmllint)
set(CXF_SCHEMA ${PROJECT_SOURCE_DIR}/../shared/data/cxf/CxF3_Core.xsd)
if(XMLLINT AND EXISTS ${CXF_SCHEMA})
  add_test(NAME tool_cxf_schema COMMAND ${XMLLINT} --noout --schema ${CXF_SCHEMA} ${CXF_DIR}/control_strip_reference.cxf)
  set_tests_properties(tool_cxf_schema PROPERTIES FIXTURES_REQUIRED cxf_strip)
endif()
# The mean and maximum of the same compare of the CGATS file it was written from (1.31549 and 3.69454
# under the ASTM E308 integration of 10-nm data): the spectra come back as the same doubles.
tintvale_tool_test(cxf_strip_compare RC 0
  ARGS compare ${CXF_DIR}/control_strip_reference.cxf ${STRIP_SMP} --format json
  JSON summary.samples=24=0 summary.mean=1.3154873328871768=0 summary.max=3.6945448662237568=0)
set_tests_properties(tool_cxf_strip_compare PROPERTIES FIXTURES_REQUIRED cxf_strip)

# Two tables, each checked by its own conditions: the reference's objects measured M0 and M1 go to
# tables 0 and 1; the CGATS sample's two tables both state M1 (the second in its own section).
set(objects)
foreach(cond M0 M1)
  foreach(patch "paper;95;0;-2" "cyan;55;-37;-50")
    list(GET patch 0 id)
    list(GET patch 1 l)
    list(GET patch 2 a)
    list(GET patch 3 b)
    string(APPEND objects "<cc:Object ObjectType=\"Target\" Name=\"${id}\" Id=\"${id}_${cond}\"><cc:ColorValues><cc:ColorCIELab ColorSpecification=\"${cond}\"><cc:L>${l}</cc:L><cc:A>${a}</cc:A><cc:B>${b}</cc:B></cc:ColorCIELab></cc:ColorValues></cc:Object>\n")
  endforeach()
endforeach()
set(setups)
foreach(pair "M0;M0_Incandescent" "M1;M1_Daylight")
  list(GET pair 0 id)
  list(GET pair 1 light)
  string(APPEND setups "<cc:ColorSpecification Id=\"${id}\"><cc:TristimulusSpec><cc:Illuminant>D50</cc:Illuminant><cc:Observer>2_Degree</cc:Observer><cc:Method>E308_Table5</cc:Method></cc:TristimulusSpec><cc:MeasurementSpec><cc:MeasurementType>Colorimetric_Reflectance</cc:MeasurementType><cc:GeometryChoice><cc:UnknownGeometry>45/0</cc:UnknownGeometry></cc:GeometryChoice><cc:Device><cc:DeviceIllumination>${light}</cc:DeviceIllumination></cc:Device></cc:MeasurementSpec></cc:ColorSpecification>\n")
endforeach()
file(WRITE ${CXF_DIR}/two_conditions.cxf "<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:Resources><cc:ObjectCollection>
${objects}</cc:ObjectCollection><cc:ColorSpecificationCollection>${setups}</cc:ColorSpecificationCollection></cc:Resources></cc:CxF>\n")
foreach(cond M0 M1)
  set(smp_${cond} "BEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\npaper_${cond} 95 0 -1\ncyan_${cond} 55 -36 -50\nEND_DATA\n")
endforeach()
file(WRITE ${CXF_DIR}/two_tables_m1.txt "CGATS.17\nMEASUREMENT_CONDITION \"M1\"\n${smp_M0}MEASUREMENT_CONDITION \"M1\"\n${smp_M1}")
tintvale_tool_test(cxf_table_conditions RC 0
  ARGS compare ${CXF_DIR}/two_conditions.cxf ${CXF_DIR}/two_tables_m1.txt --table 1 --strict-conditions --format json
  JSON summary.samples=2=0 samples.0.db=1=0 samples.1.da=1=0 samples.1.dL=0=0)
tintvale_tool_test(cxf_first_table_conditions RC 2
  ARGS compare ${CXF_DIR}/two_conditions.cxf ${CXF_DIR}/two_tables_m1.txt --strict-conditions
  STDOUT "^$" STDERR "state different MEASUREMENT_CONDITION [(].M0., .M1.[)] [(]--strict-conditions[)]\n$")
tintvale_tool_test(cxf_table_report RC 0
  ARGS report ${CXF_DIR}/two_conditions.cxf ${CXF_DIR}/two_tables_m1.txt --table 1 --max 3 -o -
  STDOUT "data-key=.reference_conditions.><th>Reference states</th><td>D50, 2 degree observer; measurement condition M1<"
         "data-key=.measurement_condition.><th>Measurement condition</th><td>M1</td><td>M1</td>")

# A document without objects is described by what it holds.
file(WRITE ${CXF_DIR}/no_objects.cxf "<?xml version=\"1.0\" encoding=\"UTF-8\"?>
<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:FileInformation><cc:Creator>Ink kitchen</cc:Creator>
<cc:Description>brand palette, to come</cc:Description></cc:FileInformation></cc:CxF>\n")
tintvale_tool_test(cxf_info_no_objects RC 0 ARGS info ${CXF_DIR}/no_objects.cxf
  STDOUT "\ncreator: +Ink kitchen\n" "\ndescription: +brand palette, to come\n" "\ntables: +0\n" "\ncontents: +no objects\n")

# Text a CxF3 document cannot hold is refused, nothing written.
string(ASCII 233 e_acute)
file(WRITE ${CXF_DIR}/latin1.txt "CGATS.17\nORIGINATOR \"Caf${e_acute}\"\n${smp_M1}")
tintvale_tool_test(cxf_refuses_latin1 RC 2 ARGS convert ${CXF_DIR}/latin1.txt --to cxf -o ${CXF_DIR}/latin1.cxf
  STDERR "latin1[.]cxf: could not be written: CxF3 needs UTF-8 text; not so after: <cc:Creator>Caf [(]code 30[)]\n$")
