# The DLL files checked natively, on every machine, without running any of their code: tools/dll-image (pefile)
# maps each module as the loader would, and dllcheck (tests/dll), built with this machine's compiler, reads the
# records behind ImportTable and Linkage, the exports, imports, resources and version from that image, with the
# same record checks as the conformance host under Wine, and each bitmap resource against the file the generator
# drew. CTest: dll_file_<variant> checks the built module,
# dll_file_faults_<variant> that the check fails on copies spoiled one byte at a time.
set(AFCP_DLLCHECK_SOURCES tests/dll/dllcheck.cpp tests/dll/records.cpp tests/conformance/check.cpp)
list(TRANSFORM AFCP_DLLCHECK_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
set(AFCP_DLLCHECK ${CMAKE_BINARY_DIR}/dllcheck/dllcheck)
add_custom_command(OUTPUT ${AFCP_DLLCHECK}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dllcheck
                   COMMAND ${AFCP_HOST_CXX} ${AFCP_HOST_CXX_FLAGS} ${AFCP_DLLCHECK_SOURCES} -o ${AFCP_DLLCHECK}
                   DEPENDS ${AFCP_DLLCHECK_SOURCES} ${CMAKE_SOURCE_DIR}/tests/dll/records.h
                           ${CMAKE_SOURCE_DIR}/tests/conformance/check.h
                   COMMENT "Building dllcheck for this machine"
                   VERBATIM)
add_custom_target(dllcheck ALL DEPENDS ${AFCP_DLLCHECK})

foreach(variant IN LISTS AFCP_VARIANTS)
  set(module ${CMAKE_BINARY_DIR}/bin/${variant}panel.dll)
  set(mapped ${CMAKE_BINARY_DIR}/dllcheck/${variant}panel)
  add_test(NAME dll_file_${variant}
           COMMAND sh -c "\"$0\" \"$1\" \"$2\" && exec \"$3\" $4 \"$2\" \"$5\""
                   ${CMAKE_SOURCE_DIR}/tools/dll-image ${module} ${mapped}_file ${AFCP_DLLCHECK} ${variant}
                   ${AFCP_ART_DIR}/${variant})
  add_test(NAME dll_faults_${variant}
           COMMAND sh -c "\"$0\" \"$1\" \"$2\" && exec \"$3\" --faults $4 \"$2\""
                   ${CMAKE_SOURCE_DIR}/tools/dll-image ${module} ${mapped}_faults ${AFCP_DLLCHECK} ${variant})
endforeach()
