# The language files live in Languages/ at the top of the source tree. The program looks
# for them in a Languages folder beside its own file, so every build copies them there:
# a program started from the build tree then speaks the same languages as an installed one.
function(parlotext_copy_languages target)
  set(source_dir "${PROJECT_SOURCE_DIR}/Languages")
  file(GLOB language_files CONFIGURE_DEPENDS "${source_dir}/*")
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}_languages.stamp")
  # The folder is made afresh, so that a file removed from the sources leaves the build too.
  add_custom_command(
    OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} -E rm -rf "$<TARGET_FILE_DIR:${target}>/Languages"
    COMMAND ${CMAKE_COMMAND} -E copy_directory "${source_dir}" "$<TARGET_FILE_DIR:${target}>/Languages"
    COMMAND ${CMAKE_COMMAND} -E touch "${stamp}"
    DEPENDS ${language_files}
    COMMENT "Copying the language files beside ${target}"
    VERBATIM)
  add_custom_target(${target}_language_files DEPENDS "${stamp}")
  add_dependencies(${target} ${target}_language_files)
endfunction()
