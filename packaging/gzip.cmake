# cmake -DIN=file -DOUT=file.gz -P gzip.cmake: maximum compression and no name or time stamp
# in the header (gzip -9n), as Debian policy asks of documentation.
execute_process(COMMAND gzip -9 -n -c ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE ${OUT})
    message(FATAL_ERROR "gzip failed on ${IN}: ${result}")
endif()
