# Both programs' main forms carry our skin package in their skin component's "SkinStream". The stored
# descriptions hold an empty stream; the build writes copies with the package in it, and the resource
# scripts find those copies through the include path (hk_use_skinned_forms).
set(HK_SKIN_PACKAGE ${PROJECT_SOURCE_DIR}/resources/skin/Calderine.skn)
set(HK_SKINNED_FORMS_DIR ${PROJECT_BINARY_DIR}/skinned-forms)
set(HK_SKINNED_FORMS "")
foreach(form HotkeyEdit PellwickForm1)
  set(out ${HK_SKINNED_FORMS_DIR}/${form}.skinned.form)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DFORM=${PROJECT_SOURCE_DIR}/resources/forms/${form}.form -DPACKAGE=${HK_SKIN_PACKAGE}
            -DOUT=${out} -P ${PROJECT_SOURCE_DIR}/cmake/EmbedSkinStream.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/forms/${form}.form ${HK_SKIN_PACKAGE}
            ${PROJECT_SOURCE_DIR}/cmake/EmbedSkinStream.cmake
    VERBATIM)
  list(APPEND HK_SKINNED_FORMS ${out})
endforeach()
add_custom_target(skinned_forms DEPENDS ${HK_SKINNED_FORMS})

# For a target whose resource script `rc` names a skinned form.
function(hk_use_skinned_forms target rc)
  add_dependencies(${target} skinned_forms)
  target_include_directories(${target} PRIVATE ${HK_SKINNED_FORMS_DIR})
  set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS ${HK_SKINNED_FORMS})
endfunction()
