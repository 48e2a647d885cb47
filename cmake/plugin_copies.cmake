# Copies of the built plug-in where programs that load it expect it.

# The plug-in beside a Windows program that loads it from its own folder.
# Relinking the program on every new DLL re-runs the copy.
function(volume_beside_program program)
  add_dependencies(${program} volume)
  set_property(TARGET ${program} APPEND PROPERTY
    LINK_DEPENDS $<TARGET_FILE:volume>)
  add_custom_command(TARGET ${program} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            $<TARGET_FILE:volume> $<TARGET_FILE_DIR:${program}>
    VERBATIM)
endfunction()

# A copy of the plug-in named `file` in `folder`, with a volume.ini holding
# `settings` beside it, made by the build target `name`.
function(volume_copy_with_settings name folder file settings comment)
  file(WRITE ${folder}/volume.ini "${settings}")
  add_custom_command(OUTPUT ${folder}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:volume> ${folder}/${file}
    DEPENDS volume
    COMMENT "${comment}")
  add_custom_target(${name} ALL DEPENDS ${folder}/${file})
endfunction()
