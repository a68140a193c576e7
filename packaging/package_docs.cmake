# The packages' compressed documents, made by the default build into
# KORAL70_PACKAGE_DOCS: changelog.gz, compressed with "gzip -9n" so that it
# holds no name or time stamp.
set(KORAL70_PACKAGE_DOCS ${CMAKE_BINARY_DIR}/package-docs)

set(package_docs ${CMAKE_CURRENT_LIST_DIR}/changelog)

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
