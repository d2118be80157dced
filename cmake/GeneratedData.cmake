# The shipped templates and the sample pictures of Resource/ are drawn and
# rendered by the program's own commands through prismcase-probe, so they are
# made again whenever the program changes rather than kept as large binaries.
# One command per template, so they render side by side. In a sanitizer
# build the GL and font libraries' memory kept to the end is no leak of ours.
set(probe_env ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen GALLIUM_DRIVER=llvmpipe ASAN_OPTIONS=detect_leaks=0)
# The one list of the shipped templates: each must be a scene of the
# generator's table, and the tests check each one.
set(prismcase_templates
  "Software Box" "Book" "CD in a Case" "Note Book" "Thick Book" "Round Corner Box" "3D Text Title" "3DS Model")
set(made "")
foreach(name IN LISTS prismcase_templates)
  set(base "${CMAKE_BINARY_DIR}/templates/${name}")
  add_custom_command(OUTPUT "${base}.qv7kb" "${base}.png"
    COMMAND ${probe_env} bash ${CMAKE_SOURCE_DIR}/scripts/make-templates.sh $<TARGET_FILE:prismcase-probe>
            ${CMAKE_BINARY_DIR}/templates "${name}"
    DEPENDS prismcase-probe ${CMAKE_SOURCE_DIR}/scripts/make-templates.sh
    COMMENT "Making the template ${name}"
    VERBATIM)
  list(APPEND made "${base}.qv7kb" "${base}.png")
endforeach()

set(resource_files "Cover Front.png" "Cover Spine.png" "Cover Back.png" "Disc Label.png" "giftwrap.png" "Gift Box.3ds")
list(TRANSFORM resource_files PREPEND "${CMAKE_BINARY_DIR}/Resource/")
add_custom_command(OUTPUT ${resource_files}
  COMMAND ${probe_env} $<TARGET_FILE:prismcase-probe> make-resource ${CMAKE_BINARY_DIR}/Resource
  DEPENDS prismcase-probe
  COMMENT "Drawing the sample pictures of Resource/"
  VERBATIM)

add_custom_target(prismcase_generated_data DEPENDS ${made} ${resource_files})
add_dependencies(prismcase_data prismcase_generated_data)
