# The release zip: `cmake --build --preset win32 --target package` makes
# volume-<version>-win32.zip with the DLL, the example settings file, the
# two user guides, the display's pictures and plughost.exe (the stand-in
# host the guides have a user check the settings and try a command with),
# side by side at the top of the archive (Explorer's "Extract All" puts
# them in a folder named after the zip).
#
# The texts are converted for Notepad on a Japanese Windows when the tree is
# built (see windows-text.cmake); the DLL is the very file the tests load.

set(VOLUME_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(VOLUME_RELEASE_TEXTS)

# release_text(<source> <name in the zip> [<code page>])
function(release_text source name)
  set(output ${VOLUME_RELEASE_DIR}/${name})
  set(code_page)
  if(ARGC GREATER 2)
    set(code_page -DCODE_PAGE=${ARGV2})
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/${source}
            -DOUTPUT=${output} ${code_page}
            -P ${PROJECT_SOURCE_DIR}/cmake/windows-text.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
            ${PROJECT_SOURCE_DIR}/cmake/windows-text.cmake
    COMMENT "Writing ${name} for Windows"
    VERBATIM)
  set(VOLUME_RELEASE_TEXTS ${VOLUME_RELEASE_TEXTS} ${output} PARENT_SCOPE)
endfunction()

release_text(resources/volume.ini volume.ini CP932)
release_text(docs/guide-ja.txt guide-ja.txt CP932)
release_text(docs/guide-en.txt guide-en.txt)
add_custom_target(release_texts ALL DEPENDS ${VOLUME_RELEASE_TEXTS})

# The pictures of the on-screen display, which the guides name, as they
# are in docs/.
set(VOLUME_RELEASE_PICTURES)
foreach(view level mute microphone microphone-level app device named
             program)
  list(APPEND VOLUME_RELEASE_PICTURES
       ${PROJECT_SOURCE_DIR}/docs/display-${view}.png)
endforeach()

# install(FILES) rather than install(TARGETS): the latter would add the
# import library, which a user has no use for. plughost.exe is linked
# statically, as the DLL is: it needs nothing beside it.
install(FILES $<TARGET_FILE:volume> $<TARGET_FILE:plughost>
              ${VOLUME_RELEASE_TEXTS} ${VOLUME_RELEASE_PICTURES}
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME volume)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(VOLUME_PACKAGE_FILE_NAME volume-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_FILE_NAME ${VOLUME_PACKAGE_FILE_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Volume plug-in for a resident Windows host application")
include(CPack)
