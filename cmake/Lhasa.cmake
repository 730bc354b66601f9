# The system's LHA library, an independent decoder that tests and benchmarks compare the skin package
# codec with. Never linked into the programs; native builds only.
if(NOT WIN32)
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND)
    pkg_check_modules(LHASA QUIET IMPORTED_TARGET GLOBAL liblhasa)
  endif()
endif()

function(hk_link_lhasa target)
  if(TARGET PkgConfig::LHASA)
    target_link_libraries(${target} PRIVATE PkgConfig::LHASA)
    target_compile_definitions(${target} PRIVATE HK_HAVE_LHASA=1)
  endif()
endfunction()
