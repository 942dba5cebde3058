# Compiled-in resources: pictures rendered from SVG drawings at build time and plain files, collected into one
# Qt resource file per library. Inside a library's CMakeLists.txt:
#
#   zm_resource_image(<svg under images/> <resource path> <width> <height> [ROTATE <degrees>] [GREY] [TEXT])
#   zm_resource_file(<file> <resource path>)
#   zm_add_resources(<out-var> <name>)   # writes <name>.qrc with the collected entries; <out-var> := its sources
#
# Entries gather in ZM_QRC_ENTRIES of the calling folder's scope. zm_svg2png (tools/) does the rendering.

# Renders a drawing to <output> (any path) with zm_svg2png.
function(zm_render_svg source output width height)
    cmake_parse_arguments(ARG "GREY;TEXT" "ROTATE;COMMENT" "" ${ARGN})
    set(options "")
    if(ARG_TEXT)
        list(APPEND options --text)
    endif()
    if(ARG_ROTATE)
        list(APPEND options --rotate ${ARG_ROTATE})
    endif()
    if(ARG_GREY)
        list(APPEND options --grey)
    endif()
    if(NOT ARG_COMMENT)
        get_filename_component(name "${output}" NAME)
        set(ARG_COMMENT "Rendering ${name}")
    endif()
    get_filename_component(output_dir "${output}" DIRECTORY)
    add_custom_command(OUTPUT "${output}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${output_dir}"
        COMMAND "${CMAKE_COMMAND}" -E env ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:zm_svg2png> ${options} "${source}" "${output}" ${width} ${height}
        DEPENDS zm_svg2png "${source}"
        COMMENT "${ARG_COMMENT}"
        VERBATIM)
endfunction()

# Renders images/<svg> to a PNG and lists it in the folder's resource file under ":/<resource>".
function(zm_resource_image svg resource width height)
    set(output "${CMAKE_CURRENT_BINARY_DIR}/images/${resource}")
    zm_render_svg("${CMAKE_CURRENT_SOURCE_DIR}/images/${svg}" "${output}" ${width} ${height} ${ARGN}
                  COMMENT "Rendering ${resource}")
    set(ZM_QRC_ENTRIES "${ZM_QRC_ENTRIES}    <file alias=\"${resource}\">${output}</file>\n" PARENT_SCOPE)
endfunction()

# Lists a file (source or generated) in the folder's resource file under ":/<resource>".
function(zm_resource_file file resource)
    set(ZM_QRC_ENTRIES "${ZM_QRC_ENTRIES}    <file alias=\"${resource}\">${file}</file>\n" PARENT_SCOPE)
endfunction()

# Writes <name>.qrc with the collected entries and compiles it; out_var receives the generated sources.
function(zm_add_resources out_var name)
    set(qrc "${CMAKE_CURRENT_BINARY_DIR}/${name}.qrc")
    file(CONFIGURE OUTPUT "${qrc}"
        CONTENT "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n${ZM_QRC_ENTRIES}  </qresource>\n</RCC>\n"
        @ONLY)
    qt5_add_resources(sources "${qrc}")
    set(${out_var} ${sources} PARENT_SCOPE)
endfunction()
