# Copies the resources into the program's folder; the database is never copied (it is made from the schema once).
file(GLOB files "${SOURCE_DIR}/*")
foreach(f ${files})
    get_filename_component(name ${f} NAME)
    if(NOT name STREQUAL "schema.sql")
        file(COPY ${f} DESTINATION ${TARGET_DIR})
    endif()
endforeach()
