# Compresses one file as Debian's policy wants documentation compressed:
#   cmake -DGZIP=gzip -DIN=file -DOUT=file.gz -P data/gzip.cmake
# "-n" keeps name and time out of the result, so every build makes the same bytes.
execute_process(COMMAND "${GZIP}" -9 -n -c "${IN}" OUTPUT_FILE "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "gzip ${IN}: ${rc}")
endif()
