# Makes the pilot guide's page from its Markdown, at build time: cmark-gfm, with its tables,
# writes the body; the page around it (installer/pilot-guide.html.in) gives it the guide's
# first heading as its title and a plain style. The pictures are the ones beside the guide.
#   cmake -DCMARK=cmark-gfm -DMARKDOWN=pilot-guide.md -DTEMPLATE=pilot-guide.html.in
#         -DPAGE=pilot-guide.html -P pilot_guide_page.cmake
execute_process(COMMAND ${CMARK} --extension table --to html ${MARKDOWN}
                OUTPUT_VARIABLE BODY RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR BODY STREQUAL "")
    message(FATAL_ERROR "cmark-gfm could not read ${MARKDOWN}: ${result} ${errors}")
endif()
# The first heading, as cmark-gfm wrote it (its text already escaped for HTML).
if(NOT BODY MATCHES "<h1>([^<]*)</h1>")
    message(FATAL_ERROR "${MARKDOWN} has no first heading to name the page")
endif()
set(TITLE "${CMAKE_MATCH_1}")
configure_file(${TEMPLATE} ${PAGE} @ONLY)
