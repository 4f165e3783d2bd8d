# The programs' pictures: the committed JPEG artwork under art/ is decoded on the build
# machine by jpegbmp into 24-bit bitmaps, which a generated resource script compiles into
# a program as BITMAP resources named for the windows that show them:
#   WIZARDPICTURE  art/wizard.jpg  the wizard's and the advanced window's side picture
#   PROMPTPICTURE  art/prompt.jpg  the restart prompt's and the first-run notice's picture
# and the links' hand cursor, for systems that have none (Windows 95 and NT 4.0):
#   LINKHAND       art/hand.cur    drawn by art/make-cursor.py
# Included once from the top folder, after tools/jpegbmp, so that the bitmaps are made
# once for every program that embeds them.
if(NOT WIN32)
  return()
endif()
enable_language(RC)

get_property(veltrano_jpegbmp GLOBAL PROPERTY VELTRANO_JPEGBMP)
get_property(veltrano_jpegbmp_depends GLOBAL PROPERTY VELTRANO_JPEGBMP_DEPENDS)
set(VELTRANO_PICTURES_DIR ${CMAKE_BINARY_DIR}/pictures)
set(VELTRANO_PICTURE_BITMAPS)
set(resource_script "// Made by cmake/Pictures.cmake from the artwork under art/.\n")
foreach(entry WIZARDPICTURE:wizard PROMPTPICTURE:prompt)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 resource_name)
  list(GET entry 1 stem)
  set(jpeg ${CMAKE_SOURCE_DIR}/art/${stem}.jpg)
  set(bitmap ${VELTRANO_PICTURES_DIR}/${stem}.bmp)
  add_custom_command(OUTPUT ${bitmap}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELTRANO_PICTURES_DIR}
    COMMAND ${veltrano_jpegbmp} ${jpeg} ${bitmap}
    DEPENDS ${jpeg} ${veltrano_jpegbmp_depends}
    COMMENT "Picture ${resource_name} from art/${stem}.jpg"
    VERBATIM)
  list(APPEND VELTRANO_PICTURE_BITMAPS ${bitmap})
  string(APPEND resource_script "${resource_name} BITMAP \"${bitmap}\"\n")
endforeach()
set(hand_cursor ${CMAKE_SOURCE_DIR}/art/hand.cur)
string(APPEND resource_script "LINKHAND CURSOR \"${hand_cursor}\"\n")
add_custom_target(veltrano_pictures DEPENDS ${VELTRANO_PICTURE_BITMAPS})

# Written only when its text changes, so that a new configure compiles nothing again.
set(VELTRANO_PICTURES_RC ${VELTRANO_PICTURES_DIR}/pictures.rc)
file(CONFIGURE OUTPUT ${VELTRANO_PICTURES_RC} CONTENT "${resource_script}" @ONLY)

# veltrano_embed_pictures(<target>): compiles the pictures into <target>'s resources.
function(veltrano_embed_pictures target)
  target_sources(${target} PRIVATE ${VELTRANO_PICTURES_RC})
  # The resource compiler reads the bitmaps, which no dependency scan of the script finds.
  set_source_files_properties(${VELTRANO_PICTURES_RC} PROPERTIES
    OBJECT_DEPENDS "${VELTRANO_PICTURE_BITMAPS};${hand_cursor}")
  add_dependencies(${target} veltrano_pictures)
endfunction()
