# The packages' compressed documents, made by the default build into
# KORAL70_PACKAGE_DOCS: the manual pages koral70.1.gz and koral70-server.1.gz
# (with this build's version and server addresses) and changelog.gz, each
# compressed with "gzip -9n" so that it holds no name or time stamp.
set(KORAL70_PACKAGE_DOCS ${CMAKE_BINARY_DIR}/package-docs)

set(package_docs ${CMAKE_CURRENT_LIST_DIR}/changelog)
foreach(page koral70.1 koral70-server.1)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${page}.in ${KORAL70_PACKAGE_DOCS}/${page} @ONLY)
  list(APPEND package_docs ${KORAL70_PACKAGE_DOCS}/${page})
endforeach()

set(package_docs_compressed)
foreach(doc IN LISTS package_docs)
  get_filename_component(name ${doc} NAME)
  set(compressed ${KORAL70_PACKAGE_DOCS}/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
                     COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${doc} ${compressed}
                     DEPENDS ${doc} COMMENT "Compressing ${name}" VERBATIM)
  list(APPEND package_docs_compressed ${compressed})
endforeach()
add_custom_target(package-docs ALL DEPENDS ${package_docs_compressed})
